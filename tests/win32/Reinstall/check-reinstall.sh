#!/usr/bin/env bash
# check-reinstall.sh SETUP_TOOL STUB UNINSTALLER WORK_DIR
# The demo installed twice into one folder, as a person who runs the setup program again to
# repair it, then removed; all with /S, so no display is needed:
#   - the second run puts back a program file the person broke, keeps the settings file the
#     package never overwrites and a file of the person's own, and leaves no temporary file and
#     no run journal behind;
#   - uninst.exe /S then leaves the machine as before but for what the demo keeps on purpose
#     and the person's file.
# The shortest of the checks that change a machine, and the one to copy for a new check: each
# step below says which part of check-lib.sh it uses and why.
# Exit 0 when every check holds, 77 (skipped) without a host build, 1 otherwise.
# SETUP_KEEP_REINSTALL=1 keeps WORK_DIR for a look.
set -uo pipefail
export LC_ALL=C.UTF-8 LANG=C.UTF-8

tool=$(realpath -m "$1") stub=$(realpath -m "$2") uninstaller=$(realpath -m "$3")
work=$(realpath -m "$4")
# check-lib.sh brings the counters (pass, fail, check, check_finish), the prefix copy and run.
# shellcheck source=../check-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../check-lib.sh"

# A check that needs the host setup-tool skips (77, declared as SKIP_RETURN_CODE) without it.
if [ ! -x "$tool" ]; then
  echo "no host setup-tool at $tool (build the host preset first); skipped"
  exit 77
fi
# A copy of the project's prefix for the stub's architecture, in WORK_DIR, removed at the end.
check_machine "$stub" "$work" SETUP_KEEP_REINSTALL

downloads=$prefix/drive_c/下载
mkdir -p "$downloads"
"$tool" build "$root/examples/demo/project.json" --stub "$stub" -o "$downloads/setup.exe" \
  --uninstaller "$uninstaller" >/dev/null || { echo "setup-tool build failed"; exit 1; }
# Wine updates its own registry at a copied prefix's first program; snapshot after that.
run "$downloads/setup.exe" /? >/dev/null 2>&1
check_snapshot "$work/before"

# Windows exit codes reach the script through Wine as their low byte: compare with exited_with.
install() {
  run "$downloads/setup.exe" /S '/D=C:\Demo' >"$work/install.out" 2>&1
  local rc=$?
  exited_with "$rc" 0 || fail "$1 install ended with $rc: $(tr -d '\r' <"$work/install.out")"
}
install "the first"
demo=$prefix/drive_c/Demo
listing() { (cd "$demo" && find . | LC_ALL=C sort); }
listing >"$work/first.list"

# What the person did between the runs.
printf 'broken' >"$demo/DemoSoft/bin/DemoSoft.exe"
printf 'theme=dark\r\n' >"$demo/DemoSoft/config.ini"
printf 'my notes' >"$demo/DemoSoft/notes.txt"

install "the second"
cmp -s "$demo/DemoSoft/bin/DemoSoft.exe" "$root/examples/demo/content/bin/DemoSoft.exe" ||
  fail "the broken DemoSoft.exe was not put back"
check "config.ini (never overwritten)" "$(cat "$demo/DemoSoft/config.ini")" $'theme=dark\r'
check "the person's notes.txt" "$(cat "$demo/DemoSoft/notes.txt" 2>/dev/null)" "my notes"
# The same files as after the first run, the person's aside: no temporary name, no journal.
check "what the install folder holds" "$(listing | grep -v '^\./DemoSoft/notes\.txt$')" \
  "$(cat "$work/first.list")"

run "$demo/uninst.exe" /S >"$work/uninstall.out" 2>&1
rc=$?
exited_with "$rc" 0 || fail "uninst.exe /S ended with $rc: $(tr -d '\r' <"$work/uninstall.out")"
check_snapshot "$work/after"
# check_unexpected prints each change between the snapshots that no pattern allows. Allowed:
# the setup program, what the demo keeps on purpose (config.ini, its component files, a run
# value of the tray program, the settings its registry script imports), the person's file, and
# the uninstaller's own running file, which Windows deletes at the restart.
allowed=(
  '^\+ 下载(/setup\.exe)?$' '^\+ Demo(/DemoSoft(/config\.ini|/notes\.txt)?|/uninst\.exe)?$'
  "^\\+ users/$user/Temp/(Comp|Comp/DemoRuntime|Info|Reg)\$" '^\+ windows/(system32/)?demort\.dll$'
)
allowedRegistry=(
  '^\+ system \[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run\] "DemoTray\.exe"='
  '^\+ user \[Software\\\\DemoSoft\\\\Imported\]'
  '^\+ system \[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\] "PendingFileRenameOperations"='
)
left=$(check_unexpected files "$work/before" "$work/after" "${allowed[@]}")
check "files changed by the two installs and the uninstall" "$left" ""
left=$(check_unexpected registry "$work/before" "$work/after" "${allowedRegistry[@]}")
check "registry changed by the two installs and the uninstall" "$left" ""

check_finish "the demo installed twice and removed under Wine"
