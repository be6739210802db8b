#!/usr/bin/env bash
# check-attack.sh SETUP_TOOL STUB ATTACKER PLANTED PLANTED_DLL WORK_DIR
# The elevated setup run against a program of the same user: a small package (a data file, a
# registry script, a component whose settings start its program) is packed on STUB (the real
# setup.exe) and started as the elevated copy; while its wizard waits on the ready page,
# ATTACKER (attacker.exe) renames the setup program away and puts a changed copy (same layout,
# other bytes) under its name, and rewrites every registry script, component settings file and
# component program in the user's temporary folder. Links stand where the old fixed folders
# Info, Reg and Comp of the temporary folder were. Then the wizard installs.
# Checked from outside the prefix: the attacker was refused each time; the installed data is the
# original's; the package's registry script was imported and the attacker's was not; the
# component's own program ran and the attacker's settings copied nothing; nothing went through
# the links. PLANTED (planted-program.exe) is the component's program: it leaves its path +
# ".ran" beside itself. PLANTED_DLL (planted-dll.dll) lies beside the setup program under the
# name of every DLL the programs' fallback list names (system/win32/DllSearch.cpp): none may be
# loaded (it leaves its path + ".loaded"). Needs a virtual display (run-with-display.sh).
# Exit 0 when every check holds, 77 (skipped) without a host build, 1 otherwise.
set -uo pipefail
tool=$(realpath -m "$1") stub=$(realpath -m "$2") attacker=$(realpath -m "$3")
planted=$(realpath -m "$4") planted_dll=$(realpath -m "$5") work=$(realpath -m "$6")
# shellcheck source=../check-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../check-lib.sh"

if [ ! -x "$tool" ]; then
  echo "no host setup-tool at $tool (build the host preset first); skipped"
  exit 77
fi
check_requires xdotool jq

# shellcheck source=../../../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
arch=$(wine_arch_of "$stub")
wine_select "$arch"
prefix=$work/prefix
run=""
cleanup() {
  [ -n "$run" ] && kill -- "-$run" 2>/dev/null
  WINEPREFIX=$prefix "$wine_server" -k 2>/dev/null && WINEPREFIX=$prefix "$wine_server" -w 2>/dev/null
  [ "${SETUP_KEEP_ATTACK_RUN:-}" = 1 ] || rm -rf "$work"
}
trap cleanup EXIT
rm -rf "$work" && mkdir -p "$work/content"
wine_copy_prefix "$prefix" || exit 1
export WINEPREFIX=$prefix WINEDEBUG=-all LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
user=${USER:-$(id -un)}
profile=$prefix/drive_c/users/$user
downloads=$profile/Downloads temp=$profile/Temp
mkdir -p "$downloads" "$temp"

# --- The package and its changed copy -------------------------------------------------------
content=$work/content
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\AttackCheck]\r\n"Source"="package"\r\n' >"$content/check.reg"
printf '[RegistryList]\r\nRegtype=System\r\n[Option]\r\nExeFile=comp.exe\r\n' >"$content/Comp1.ini"
cp "$planted" "$content/comp.exe"
project() {  # project.json for the data file content/$1
  jq -n --arg c "$content" --arg data "$1" '{
    serial: "0D6B1E52-3C41-4F7A-9A0B-2E5D8C7F1A36",
    settings: [
      {caption: "项目名称", value: "攻击检查", group: 0},
      {caption: "显示安装界面", value: "启用", group: 0},
      {caption: "显示加载进度", value: "禁用", group: 0},
      {caption: "显示安装背景窗口", value: "禁用", group: 0},
      {caption: "确认安装", value: "启用", group: 1},
      {caption: "安装进程", value: "启用", group: 1},
      {caption: "默认安装路径", value: "[System ProgramFiles]\\AttackCheck", group: 8}],
    files: [
      {kind: "file", source: "D:\\P\\app.dat", content: ($c + "/" + $data),
       destFolder: "目标计算机\\Program Files\\"},
      {kind: "regfile", source: "D:\\P\\check.reg", content: ($c + "/check.reg")},
      {kind: "component", name: "Comp1", destFolder: "D:\\P\\Comp1", source: "D:\\P\\Comp1\\Comp1.ini",
       content: ($c + "/Comp1.ini")},
      {kind: "component", name: "Comp1", destFolder: "D:\\P\\Comp1", source: "D:\\P\\Comp1\\comp.exe",
       content: ($c + "/comp.exe")}],
    components: [{name: "Comp1"}]}'
}
head -c 20000 /dev/zero | tr '\0' A >"$content/original.dat"
head -c 20000 /dev/zero | tr '\0' B >"$content/changed.dat"
# The package stores each file's time: the same time keeps the two configurations the same size.
touch -r "$content/original.dat" "$content/changed.dat"
project original.dat >"$work/original.json"
project changed.dat >"$work/changed.json"
"$tool" build "$work/original.json" --stub "$stub" -o "$downloads/setup.exe" >/dev/null &&
  "$tool" build "$work/changed.json" --stub "$stub" -o "$work/changed.exe" >/dev/null ||
  { echo "setup-tool build failed"; exit 1; }
check "the changed copy has the original's layout" "$(stat -c %s "$work/changed.exe")" \
  "$(stat -c %s "$downloads/setup.exe")"
cp "$attacker" "$work/attacker.exe" && cp "$work/changed.exe" "$prefix/drive_c/changed.exe"

# DLLs planted beside the setup program under the names system code loads by name.
dlls=$(sed -n '/kPreloaded\[\] = {/,/};/p' "$root/system/win32/DllSearch.cpp" |
  grep -o 'L"[A-Za-z0-9_]*\.\(dll\|drv\)"' | tr -d 'L"')
[ "$(echo "$dlls" | wc -w)" -gt 20 ] && pass || fail "the DLL list was not found in DllSearch.cpp"
for dll in $dlls; do cp "$planted_dll" "$downloads/$dll"; done

# Links where the fixed folders were, into a folder the run must never write.
decoy=$prefix/drive_c/decoy
mkdir -p "$decoy"
for name in Info Reg Comp; do ln -s "$decoy" "$temp/$name"; done

# --- The run ----------------------------------------------------------------------------------
caption='“攻击检查”安装向导'
frame() { xdotool search --onlyvisible --name "^$caption\$" 2>/dev/null | head -1; }
wait_for() {  # DESCRIPTION COMMAND...: retries COMMAND for up to 30 s
  local what=$1 deadline=$((SECONDS + 30))
  shift
  while [ "$SECONDS" -lt "$deadline" ]; do
    "$@" && return 0
    kill -0 "$run" 2>/dev/null || { fail "the setup program ended while waiting for $what"; return 1; }
    sleep 0.2
  done
  fail "waited 30 s for $what"
  return 1
}
press() {
  local id
  id=$(frame) || return
  xdotool windowfocus --sync "$id" 2>/dev/null
  xdotool key --clearmodifiers "$1"
}
"$wine_server" -k 2>/dev/null
# "-1": the elevated copy itself, as the relaunch starts it.
setsid "$wine_loader" 'C:\users\'"$user"'\Downloads\setup.exe' -1 >"$work/setup.out" 2>&1 &
run=$!
has_frame() { [ -n "$(frame)" ]; }
wait_for "the wizard" has_frame || exit 1

"$wine_loader" "$work/attacker.exe" 'C:\users\'"$user"'\Downloads\setup.exe' 'C:\changed.exe' \
  'C:\users\'"$user"'\Temp' 2>/dev/null | tr -d '\r' >"$work/attack.txt"
echo "--- the attacker's attempts"
cat "$work/attack.txt"
grep -q '^rename .*: refused' "$work/attack.txt" && pass || fail "the setup program could be renamed away"
grep -q ': done$' "$work/attack.txt" && fail "the attacker changed a file the run uses" || pass
for kind in reg ini exe; do
  grep -q "^write .*\.$kind: refused" "$work/attack.txt" && pass || fail "no .$kind file found to attack"
done

press alt+n
[ -n "${SETUP_ATTACK_SHOTS:-}" ] && sleep 2 && import -window root "$SETUP_ATTACK_SHOTS" 2>/dev/null
installed=$prefix/drive_c/Program\ Files/AttackCheck
# Without an uninstaller entry no Ins.log is written beside the data; the data file and the
# component's marker come last.
installed_all() { [ -f "$installed/app.dat" ] && [ -n "$(find "$temp" -name comp.exe.ran 2>/dev/null)" ]; }
wait_for "the install" installed_all
sleep 1
press alt+f
for _ in $(seq 100); do kill -0 "$run" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$run" 2>/dev/null; then
  fail "the setup program did not end after Finish"
  kill -- "-$run" 2>/dev/null
  "$wine_server" -k 2>/dev/null
  run=""
else
  wait "$run"; check "setup exit code" "$?" 0
  run=""
fi
"$wine_server" -w

# --- What the run did -------------------------------------------------------------------------
cmp -s "$installed/app.dat" "$content/original.dat" && pass || fail "the installed data is not the original's"
cmp -s "$downloads/setup.exe" "$work/changed.exe" && fail "the changed copy took the program's name" || pass
grep -q '^\[Software\\\\AttackCheck\]' "$prefix/system.reg" && pass || fail "the package's registry script was not imported"
grep -q 'AttackCheck\\\\Attacker' "$prefix/system.reg" && fail "the attacker's registry script was imported" || pass
[ ! -e "$prefix/drive_c/attacked.txt" ] && pass || fail "the attacker's settings copied a file"
ran=$(find "$temp" -name comp.exe.ran 2>/dev/null | wc -l)
check "the component's own program ran" "$ran" 1
check "files written through the links" "$(find "$decoy" -mindepth 1 | wc -l)" 0
check "planted DLLs loaded" "$(find "$downloads" -name '*.loaded' -printf '%f ')" ""

check_finish "attack check ($arch)"
