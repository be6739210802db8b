# check-lib.sh: sourced by the Wine checks that change a machine. It gives them one way to
# count failures, to get a prefix of their own (and a virtual display when they need windows),
# to photograph the machine before and after, and to read Windows exit codes through Wine.
#
#   source "$root/tests/win32/check-lib.sh"
#   check_requires xdotool jq           # exit 1 naming what scripts/deps.sh should have installed
#   check_machine PROGRAM WORK KEEP     # WORK emptied; a copy of the project's prefix for the
#                                       # architecture of PROGRAM at $prefix; run() starts a
#                                       # Windows program in it; KEEP=1 in the environment keeps
#                                       # WORK for a look
#   check_display                       # a virtual display in DISPLAY, gone with the check
#   check_snapshot "$work/before"       # drive C: and the registry, as sorted lines
#   check_unexpected files|registry BEFORE AFTER PATTERN...  # changes no pattern allows
#   pass; fail "what"; check "what" ACTUAL EXPECTED; exited_with "$rc" 1618
#   check_finish "what was checked"     # the verdict line and the exit status
#
# Sets: root, arch, prefix, user, profile, wine_loader and wine_server (scripts/wine-env.sh).

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
passed=0 failed=0
check_xvfb=""
check_work=""
check_keep=""

pass() { passed=$((passed + 1)); }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }
check() { if [ "$2" == "$3" ]; then pass; else fail "$1: got [$2], expected [$3]"; fi; }

# Wine hands a Windows exit code on to Linux as its low byte only (1618 arrives as 82).
exited_with() { [ "$1" = "$(($2 & 255))" ]; }

check_requires() {
  local program
  for program in "$@"; do
    command -v "$program" >/dev/null ||
      { echo "$program is missing (scripts/deps.sh installs it)"; exit 1; }
  done
}

check_cleanup() {
  [ -n "$check_xvfb" ] && kill "$check_xvfb" 2>/dev/null
  [ -n "$check_work" ] || return 0
  [ "${!check_keep:-}" = 1 ] && return 0
  WINEPREFIX=$prefix "$wine_server" -k 2>/dev/null
  rm -rf "$check_work"
}

check_machine() {
  # shellcheck source=../../scripts/wine-env.sh
  source "$root/scripts/wine-env.sh"
  arch=$(wine_arch_of "$1")
  wine_select "$arch"
  check_work=$2 check_keep=$3
  prefix=$check_work/prefix
  trap check_cleanup EXIT
  rm -rf "$check_work" && mkdir -p "$check_work"
  wine_copy_prefix "$prefix" || exit 1
  user=$(id -un)
  profile=$prefix/drive_c/users/$user
}

# The architecture is named: wine-run.sh cannot read it from a Windows path.
run() { SETUP_WINEPREFIX=$prefix SETUP_WINE_ARCH=$arch "$root/scripts/wine-run.sh" "$@"; }

check_display() {
  check_requires Xvfb
  # Xvfb picks a free display and writes its number once it accepts clients.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$check_work/display" \
    2>"$check_work/xvfb.log" &
  check_xvfb=$!
  for _ in $(seq 100); do [ -s "$check_work/display" ] && break; sleep 0.1; done
  [ -s "$check_work/display" ] || { echo "Xvfb did not start: $(cat "$check_work/xvfb.log")"; exit 1; }
  export DISPLAY=:$(cat "$check_work/display")
}

# Files and folders of drive C: (NAME.files) and the registry as "[key]" and "[key] value"
# lines without Wine's time stamps (NAME.registry).
check_snapshot() {
  (cd "$prefix/drive_c" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort) >"$1.files"
  local hive
  for hive in system user; do
    awk -v hive="$hive" '
      /^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key); print hive " " key; next }
      /^#/ || /^$/ || /^WINE REGISTRY/ || /^;;/ { next }
      key != "" { print hive " " key " " $0 }' "$prefix/$hive.reg"
  done | LC_ALL=C sort >"$1.registry"
}

# Wine dates its display driver anew whenever a program starts; no check is about that.
check_wine_noise='^[-+] system \[System\\\\CurrentControlSet\\\\Control\\\\Class\\\\\{4D36E968-E325-11CE-BFC1-08002BE10318\}\\\\0000\] "DriverDateData"='

# check_unexpected KIND BEFORE AFTER PATTERN...: the "+ line" and "- line" changes between two
# snapshots that no pattern (an extended regular expression) allows.
check_unexpected() {
  local kind=$1 before=$2 after=$3
  shift 3
  LC_ALL=C comm -3 "$before.$kind" "$after.$kind" | sed 's/^\t/+ /; t; s/^/- /' |
    while IFS= read -r line; do
      local ok="" pattern
      for pattern in "$check_wine_noise" "$@"; do [[ $line =~ $pattern ]] && { ok=1; break; }; done
      [ -n "$ok" ] || printf '%s\n' "$line"
    done
}

check_finish() {
  if [ "$failed" -eq 0 ]; then
    echo "$1: all checks passed${passed:+ ($passed counted)}"
  else
    echo "$1: $failed checks failed, $passed passed"
  fi
  [ "$failed" -eq 0 ]
}
