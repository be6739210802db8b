#!/usr/bin/env bash
# check-uninstall.sh SETUP_TOOL STUB DRIVER UNINSTALLER WORK_DIR
# The demo installed and uninstalled under Wine: builds the demo setup program with the built
# UNINSTALLER as its uninst.exe, installs it through DRIVER (install-run.exe) in a fresh copy of
# the project's prefix, then starts the installed uninst.exe on a virtual display as the
# Uninstall registration would, answers its question Yes and closes its outcome box with Enter;
# a second uninst.exe started meanwhile must be refused.
# Afterwards the prefix's files, registry and shortcuts must be what they were before the
# install, except what the demo leaves on purpose (listed below with the reason), and neither
# uninst.exe nor its temporary copy may remain. Exit 0 when every check holds, 77 (skipped)
# without a host build, 1 otherwise. SETUP_KEEP_UNINSTALL=1 keeps WORK_DIR for a look.
set -uo pipefail
export LC_ALL=C.UTF-8 LANG=C.UTF-8
unset SETUP_WINE_LOCALE

tool=$(realpath -m "$1") stub=$(realpath -m "$2") driver=$(realpath -m "$3")
uninstaller=$(realpath -m "$4") work=$(realpath -m "$5")
# shellcheck source=../check-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../check-lib.sh"
demo=$root/examples/demo

if [ ! -x "$tool" ]; then
  echo "no host setup-tool at $tool (build the host preset first); skipped"
  exit 77
fi
check_requires xdotool

# --- A fresh prefix and a virtual display ---------------------------------------------------
check_machine "$driver" "$work" SETUP_KEEP_UNINSTALL
check_display

downloads=$prefix/drive_c/下载
mkdir -p "$downloads"
"$tool" build "$demo/project.json" --stub "$stub" -o "$downloads/演示软件安装.exe" \
  --uninstaller "$uninstaller" >/dev/null || { echo "setup-tool build failed"; exit 1; }
cp "$driver" "$downloads/install-run.exe"
# The first run of a copied prefix updates Wine's own registry entries; the snapshot is taken
# after one, so only what the install and the uninstall did shows.
run "$downloads/install-run.exe" >/dev/null 2>&1

check_snapshot "$work/before"

# --- Install --------------------------------------------------------------------------------
dir='C:\演示程序\DemoSoft'
installDir=$prefix/drive_c/演示程序/DemoSoft
run "$downloads/install-run.exe" 'C:\下载\演示软件安装.exe' --dir "$dir" >"$work/install.out" 2>&1 ||
  { sed 's/^/  | /' "$work/install.out"; echo "the install run failed"; exit 1; }
[ -f "$installDir/uninst.exe" ] || { echo "no uninst.exe installed"; exit 1; }
cmp -s "$installDir/uninst.exe" "$uninstaller" || fail "the installed uninst.exe is not the built one"

# --- Uninstall: answer Yes, close the outcome box -------------------------------------------
caption='卸载“演示软件”'
run 'C:\演示程序\DemoSoft\uninst.exe' >"$work/uninst.out" 2>&1 &
uninst=$!
# Window names are matched in UTF-8 only under a UTF-8 locale.
visible() { LC_ALL=zh_CN.UTF-8 xdotool search --onlyvisible --name "^$caption\$" 2>/dev/null | head -1; }
question=$(LC_ALL=zh_CN.UTF-8 timeout 30 xdotool search --sync --onlyvisible --name "^$caption\$" | head -1)
if [ -z "$question" ]; then
  fail "no question box captioned $caption appeared within 30 s"
else
  # A second uninstaller while the first asks: refused in a box of its own, it ends with 1618.
  # Started past wine-run.sh, whose lock the first run holds.
  WINEPREFIX=$prefix WINEDEBUG=-all LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 \
    "$wine_loader" 'C:\演示程序\DemoSoft\uninst.exe' >"$work/second.out" 2>&1 &
  second=$!
  refusal=""
  for _ in $(seq 60); do
    refusal=$(LC_ALL=zh_CN.UTF-8 xdotool search --onlyvisible --name "^$caption\$" 2>/dev/null |
      grep -vx "$question" | head -1)
    [ -n "$refusal" ] && break
    sleep 0.5
  done
  if [ -z "$refusal" ]; then
    fail "no refusal box captioned $caption for a second uninstaller within 30 s"
    kill "$second" 2>/dev/null
  else
    xdotool windowfocus --sync "$refusal" 2>/dev/null
    xdotool key Return
  fi
  wait "$second"
  secondRc=$?
  exited_with "$secondRc" 1618 || fail "a second uninstaller ended with $secondRc, expected 1618 (refused)"
  # Mapped may come before focused; keys go to the focus. Enter is the box's default, Yes.
  xdotool windowfocus --sync "$question" 2>/dev/null
  xdotool key Return
  # The progress window (same caption) ignores Enter; the outcome box closes with it and the
  # uninstaller ends. Wait at most 30 s for that.
  for _ in $(seq 60); do
    kill -0 "$uninst" 2>/dev/null || break
    window=$(visible)
    if [ -n "$window" ] && [ "$window" != "$question" ]; then
      xdotool windowfocus --sync "$window" 2>/dev/null
      xdotool key Return
    fi
    sleep 0.5
  done
  kill -0 "$uninst" 2>/dev/null && fail "the outcome box captioned $caption was not closed within 30 s"
fi
if kill -0 "$uninst" 2>/dev/null; then
  kill "$uninst" 2>/dev/null
  WINEPREFIX=$prefix "$wine_server" -k 2>/dev/null
fi
wait "$uninst"
rc=$?
[ "$rc" = 0 ] || fail "uninst.exe ended with $rc: $(tr -d '\r' <"$work/uninst.out")"

# --- What is left -------------------------------------------------------------------------------
check_snapshot "$work/after"
[ ! -e "$installDir/uninst.exe" ] || fail "uninst.exe is still in the install folder"
copies=$(find "$profile/Temp" -iname 'uninst.exe' | sed "s|^$prefix/||")
[ -z "$copies" ] || fail "the temporary copy of uninst.exe stayed: $copies"

# What the demo leaves on purpose, as patterns of the changes (extended regular expressions).
temp="users/$user/Temp"
allowed=(
  # config.ini is recorded with Remove = 0, so it and the folders holding it stay.
  '^\+ 演示程序$' '^\+ 演示程序/DemoSoft$' '^\+ 演示程序/DemoSoft/config\.ini$'
  # The setup program and the driver where the test put them.
  '^\+ 下载/(演示软件安装|install-run)\.exe$'
  # The setup run unpacks its page resources below these and deletes only the files.
  "^\\+ $temp/(Comp|Comp/DemoRuntime|Info|Reg)\$"
  # Component packages copy into the Windows folder; the install run does not log it.
  '^\+ windows/demort\.dll$'
  # The folder the uninstaller's copy ran from: its file is gone when the copy has ended, the
  # empty folder is marked for removal at the next restart (a program cannot remove the folder
  # its own file is in, and nothing runs after it).
  "^\\+ $temp/~uninst-[0-9]+\$"
)
allowed_registry=(
  # The auto-run value of DemoTray.exe; the install run does not log it.
  '^\+ system \[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run\] "DemoTray\.exe"='
  # What the demo's .reg script imports through Regedit; the install run does not log it.
  '^\+ user \[Software\\\\DemoSoft\\\\Imported\]'
  # The restart marks of the uninstaller's copy (its file, gone already, and its folder).
  '^\+ system \[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\] "PendingFileRenameOperations"='
)
left=$(check_unexpected files "$work/before" "$work/after" "${allowed[@]}")
[ -z "$left" ] || fail "files and folders that differ from before the install:$(printf '\n%s' "$left")"
left=$(check_unexpected registry "$work/before" "$work/after" "${allowed_registry[@]}")
[ -z "$left" ] || fail "registry entries that differ from before the install:$(printf '\n%s' "$left")"
# The shortcuts are files of the profile: the checks above cover them; say so when they stayed.
[ ! -e "$profile/Desktop/演示软件.lnk" ] || fail "the desktop shortcut stayed"

check_finish "uninstall under Wine"
