#!/usr/bin/env bash
# check-silent.sh SETUP_TOOL STUB HOLDER WORK_DIR [UNINSTALLER]
# The demo deployed as an administrator would, with no display at all: built with the host
# SETUP_TOOL on STUB (the setup.exe of the preset; its PE header picks the Wine), then started
# under Wine in a fresh copy of the project's prefix with the switches:
#   - while HOLDER (hold-run.exe) holds the product's run, /S ends with 1618 and installs nothing;
#   - /S /LOG /ANSWERS (the desktop shortcut unticked) /D= a folder with blanks and Chinese:
#     exit 0, the files setup-tool simulate printed for the same switches are the ones the log
#     names and they are on the machine, no desktop shortcut;
#   - an answers file that cancels: 1602; a read-only target (a drive on /sys): 1603 with the
#     reason in the log; the demo asking for a restart: 3010 and no restart;
#   - with UNINSTALLER built in, uninst.exe /S removes the product: 0, and the machine is as
#     before the install but for what the demo leaves on purpose.
#     (its own running file is left to the restart, marked for it)
# Exit 0 when every check holds, 77 (skipped) without a host build, 1 otherwise.
# SETUP_KEEP_SILENT=1 keeps WORK_DIR for a look.
set -uo pipefail
export LC_ALL=C.UTF-8 LANG=C.UTF-8
unset SETUP_WINE_LOCALE DISPLAY WAYLAND_DISPLAY

tool=$(realpath -m "$1") stub=$(realpath -m "$2") holder=$(realpath -m "$3") work=$(realpath -m "$4")
uninstaller=${5:+$(realpath -m "$5")}
# shellcheck source=../check-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../check-lib.sh"
demo=$root/examples/demo

if [ ! -x "$tool" ]; then
  echo "no host setup-tool at $tool (build the host preset first); skipped"
  exit 77
fi
check_requires jq
check_machine "$stub" "$work" SETUP_KEEP_SILENT
downloads=$prefix/drive_c/下载
mkdir -p "$downloads"

# A Windows path of drive C: on the host.
host_path() { local p=${1#[Cc]:\\}; printf '%s/drive_c/%s' "$prefix" "${p//\\//}"; }
# The lines of a log with a tag, without the tag and the CR.
tagged() { tr -d '\r' <"$1" | sed -n "s/^\\[$2\\] //p"; }

uninstallerOption=()
[ -n "$uninstaller" ] && uninstallerOption=(--uninstaller "$uninstaller")
setup=$downloads/演示软件安装.exe
"$tool" build "$demo/project.json" --stub "$stub" -o "$setup" "${uninstallerOption[@]}" >/dev/null ||
  { echo "setup-tool build failed"; exit 1; }
# The same product asking for a restart when it is installed.
jq '(.settings[] | select(.caption == "安装完成后，重启操作系统") | .value) = "启用"' \
  "$demo/project.json" >"$demo/.restart-project.json.$$" &&
  "$tool" build "$demo/.restart-project.json.$$" --stub "$stub" -o "$downloads/restart.exe" \
    "${uninstallerOption[@]}" >/dev/null
built=$?
rm -f "$demo/.restart-project.json.$$"
[ "$built" = 0 ] || { echo "setup-tool build of the restart variant failed"; exit 1; }
printf '%s\n' '{"pages": {"TfrmAddonsTask": {"CheckBox1": false}}}' >"$downloads/answers.json"
printf '%s\n' '{"cancelOn": "TfrmReadyIns"}' >"$downloads/cancel.json"
cp "$holder" "$downloads/hold-run.exe"
# The first run of a copied prefix updates Wine's own registry; the snapshot comes after one.
run "$downloads/hold-run.exe" nothing >/dev/null 2>&1

check_snapshot "$work/before"

# --- A second run while one holds the product: 1618 ----------------------------------------
touch "$prefix/drive_c/hold-run.flag"
WINEPREFIX=$prefix WINEDEBUG=-all LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 \
  "$wine_loader" 'C:\下载\hold-run.exe' 演示软件 >"$work/hold.out" 2>&1 &
holding=$!
for _ in $(seq 300); do grep -q held "$work/hold.out" 2>/dev/null && break; sleep 0.1; done
if grep -q held "$work/hold.out"; then
  WINEPREFIX=$prefix WINEDEBUG=-all LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 \
    "$wine_loader" 'C:\下载\演示软件安装.exe' /S '/D=C:\Second' >"$work/second.out" 2>&1
  rc=$?
  exited_with "$rc" 1618 || fail "a second run ended with $rc, expected 1618"
  [ ! -e "$prefix/drive_c/Second" ] || fail "the refused run installed something"
else
  fail "hold-run.exe did not hold the product: $(tr -d '\r' <"$work/hold.out")"
fi
rm -f "$prefix/drive_c/hold-run.flag"
wait "$holding"
WINEPREFIX=$prefix "$wine_server" -w

# --- The silent install, and what simulate printed for it ------------------------------------
dir='C:\Program Files\演示 软件'
cp "$downloads/answers.json" "$work/answers.json"
"$tool" simulate "$setup" --root "$work/sandbox" /S "/LOG=$work/simulate.log" \
  "/ANSWERS=$work/answers.json" "/D=$dir" >"$work/simulate.out" 2>&1 ||
  fail "simulate with the switches failed: $(tail -5 "$work/simulate.out")"
grep -q 'would exit with code 0 ' "$work/simulate.out" || fail "simulate did not print exit code 0"
run "$setup" /S '/LOG=C:\下载\setup.log' '/ANSWERS=C:\下载\answers.json' "/D=$dir" \
  >"$work/silent.out" 2>&1
rc=$?
exited_with "$rc" 0 || fail "the silent install ended with $rc: $(tr -d '\r' <"$work/silent.out")"
log=$downloads/setup.log
if [ ! -f "$log" ]; then
  fail "no log at C:\\下载\\setup.log"
else
  # Wine spells its Windows folder in lower case; the sandbox in mixed case.
  tagged "$log" file | tr 'A-Z' 'a-z' >"$work/wine.files"
  tagged "$work/simulate.log" file | tr 'A-Z' 'a-z' >"$work/simulate.files"
  [ -s "$work/wine.files" ] || fail "the log names no file"
  cmp -s "$work/wine.files" "$work/simulate.files" ||
    fail "the files the log names differ from simulate's:$(diff "$work/simulate.files" "$work/wine.files")"
  while IFS= read -r file; do
    case $file in "$dir"\\*) ;; *) continue ;; esac
    [ -f "$(host_path "$file")" ] || fail "the log names $file, which is not on the machine"
  done < <(tagged "$log" file)
  grep -q '^\[exit\] 0 (installed)' <(tr -d '\r' <"$log") || fail "the log has no outcome 0"
fi
[ -f "$(host_path "$dir\\DemoSoft\\bin\\DemoSoft.exe")" ] || fail "DemoSoft.exe is not below $dir"
[ ! -e "$profile/Desktop/演示软件.lnk" ] || fail "the unticked desktop shortcut was made"

# --- Cancel, failure, restart -------------------------------------------------------------
run "$setup" /S '/ANSWERS=C:\下载\cancel.json' '/D=C:\Cancelled' >/dev/null 2>&1
rc=$?
exited_with "$rc" 1602 || fail "a cancelling answers file ended with $rc, expected 1602"
[ ! -e "$prefix/drive_c/Cancelled" ] || fail "the cancelled run installed something"

ln -sfn /sys "$prefix/dosdevices/r:"
run "$setup" /S '/LOG=C:\下载\failed.log' '/D=R:\Demo' >/dev/null 2>&1
rc=$?
rm -f "$prefix/dosdevices/r:"
exited_with "$rc" 1603 || fail "a read-only target ended with $rc, expected 1603"
grep -q '^\[box\] .*R:\\Demo' <(tr -d '\r' <"$downloads/failed.log" 2>/dev/null) ||
  fail "the log of the failed run does not give the reason: $(tr -d '\r' <"$downloads/failed.log" 2>/dev/null)"

run "$downloads/restart.exe" /S '/D=C:\Restart' >/dev/null 2>&1
rc=$?
exited_with "$rc" 3010 || fail "the restart request ended with $rc, expected 3010"
[ -f "$prefix/drive_c/Restart/DemoSoft/bin/DemoSoft.exe" ] || fail "the restart variant did not install"

# --- uninst.exe /S of both installs: the machine as before ---------------------------------
# Both are the same product: the registration names the later one, which goes first.
if [ -n "$uninstaller" ]; then
  for installed in 'C:\Restart' "$dir"; do
    run "$installed\uninst.exe" /S '/LOG=C:\下载\uninst.log' >/dev/null 2>&1
    rc=$?
    exited_with "$rc" 0 || fail "uninst.exe /S in $installed ended with $rc: $(tr -d '\r' <"$downloads/uninst.log")"
  done
  check_snapshot "$work/after"
  # What the demo leaves on purpose (tests/win32/Uninstall/check-uninstall.sh says why), the
  # programs and files this check put in the downloads folder, and the restart marks of what
  # Windows keeps while it runs (the uninstaller's own file and folder).
  temp="users/$user/Temp"
  allowed=(
    "^\\+ (Program Files/演示 软件|Restart)(/DemoSoft(/config\\.ini)?|/uninst\\.exe)?\$"
    '^\+ 下载/' "^\\+ $temp/(Comp|Comp/DemoRuntime|Info|Reg)\$" '^\+ windows/(system32/)?demort\.dll$'
    '^\+ hold-run\.flag$'
  )
  allowedRegistry=(
    '^\+ system \[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run\] "DemoTray\.exe"='
    '^\+ user \[Software\\\\DemoSoft\\\\Imported\]'
    '^\+ system \[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\] "PendingFileRenameOperations"='
  )
  left=$(check_unexpected files "$work/before" "$work/after" "${allowed[@]}")
  [ -z "$left" ] || fail "files that differ from before the installs:$(printf '\n%s' "$left")"
  # In place, the uninstaller cannot delete its own running file: Windows does at the restart.
  for installed in "$dir" 'C:\Restart'; do
    [ -e "$(host_path "$installed\uninst.exe")" ] || continue
    grep -a '^"PendingFileRenameOperations"=' "$prefix/system.reg" | grep -q 'uninst\.exe' ||
      fail "$installed\uninst.exe stayed without a mark for the restart"
  done
  left=$(check_unexpected registry "$work/before" "$work/after" "${allowedRegistry[@]}")
  [ -z "$left" ] || fail "registry entries that differ from before the installs:$(printf '\n%s' "$left")"
fi

check_finish "silent install under Wine"
