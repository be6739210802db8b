#!/usr/bin/env bash
# check-wizard-walk.sh SETUP_TOOL SETUP_EXE SHOT_DIR WORK_DIR: builds the demo setup program on
# SETUP_EXE, runs it under Wine on the display in DISPLAY (run-with-display.sh provides one) in a
# fresh copy of the project's prefix, and walks the wizard with keys as a person would: Alt+N on
# the welcome page, the licence's Alt+T, a start-menu folder picked in the browse dialog, the
# second component unticked, an install folder typed, then Next to the end and Finish. Every
# page is photographed into SHOT_DIR (page-NN-CLASS.png) and must not be blank. At the end the
# product must sit in the typed folder and the uninstaller's shortcut in the folder picked.
# Exit 0 when every check holds, 77 (skipped) without a host build.
set -uo pipefail
tool=$(realpath -m "$1") stub=$(realpath -m "$2") shots=$(realpath -m "$3") work=$(realpath -m "$4")
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
[ -x "$tool" ] || { echo "no host setup-tool at $tool; skipped"; exit 77; }
for program in xdotool import convert; do
  command -v "$program" >/dev/null || { echo "$program is missing (scripts/deps.sh installs it)"; exit 1; }
done
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY; run through run-with-display.sh"; exit 1; }

# shellcheck source=../../../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
arch=$(wine_arch_of "$stub")
wine_select "$arch"
prefix=$work/prefix
run=""
cleanup() {
  [ -n "$run" ] && kill -- "-$run" 2>/dev/null
  WINEPREFIX=$prefix "$wine_server" -k 2>/dev/null
  [ "${SETUP_KEEP_WIZARD:-}" = 1 ] || rm -rf "$work"
}
trap cleanup EXIT
rm -rf "$work" && mkdir -p "$work" "$shots"
wine_copy_prefix "$prefix" || exit 1
user=$(id -un)

setup=$prefix/drive_c/DemoSetup.exe
"$tool" build "$root/examples/demo/project.json" --stub "$stub" -o "$setup" >/dev/null ||
  { echo "setup-tool build failed"; exit 1; }
# The start-menu folder the browse dialog will offer.
programs="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
[ -d "$programs" ] || programs="$prefix/drive_c/users/Public/Start Menu/Programs"
mkdir -p "$programs/Accessories"

export WINEPREFIX=$prefix WINEDEBUG=-all
locale=${SETUP_WINE_LOCALE:-zh_CN.UTF-8}
export LANG=$locale LC_ALL=$locale
# Any parameter: no elevated relaunch.
# A server left from an earlier prefix with this folder's inode would take this run's requests.
"$wine_server" -k 2>/dev/null
setsid "$wine_loader" "$setup" -1 >"$work/wine.log" 2>&1 &
run=$!
fail() { echo "FAIL: $*"; exit 1; }

caption='“演示软件”安装向导'
# The frame: of the windows with that caption (the background window has it too), the small one.
frame=""
for _ in $(seq 600); do
  for window in $(LC_ALL=zh_CN.UTF-8 xdotool search --onlyvisible --name "^$caption\$" 2>/dev/null); do
    width=$(xdotool getwindowgeometry "$window" 2>/dev/null | awk '/Geometry/ { split($2, g, "x"); print g[1] }')
    [ -n "$width" ] && [ "$width" -lt 700 ] && frame=$window
  done
  [ -n "$frame" ] && break
  kill -0 "$run" 2>/dev/null || fail "setup ended without showing the wizard ($(tr -d '\r' <"$work/wine.log"))"
  sleep 0.1
done
[ -n "$frame" ] || fail "no wizard frame within 60 s"

page=0
shot() {
  page=$((page + 1))
  sleep 0.8
  local file deviation
  file=$(printf '%s/page-%02d-%s.png' "$shots" "$page" "$1")
  import -window "$frame" "$file" 2>/dev/null || fail "no screenshot of page $1"
  deviation=$(convert "$file" -format '%[fx:standard_deviation]' info:)
  awk -v d="$deviation" 'BEGIN { exit !(d > 0.01) }' || fail "the screenshot $file is blank"
  echo "page $page: $file"
}
# A click at a point of a window's client area (96-DPI numbers of the forms; the frame has a
# 3-pixel border and a 22-pixel caption under Wine without a window manager).
click() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + 3 + $2)) $((Y + 22 + $3)) click 1
  sleep 0.4
}
key() {
  xdotool key --clearmodifiers "$1"
  sleep 0.4
}
next() { click "$frame" 373 315; }

shot TfrmFist
next
shot TfrmProtocol
# The licence takes the focus, and Alt+T (我同意) still reaches the button.
click "$frame" 200 150
key Next
key alt+t
shot TfrmSoftExplaion
next
shot TfrmStartFolder
click "$frame" 424 145
dialog=""
for _ in $(seq 100); do
  dialog=$(LC_ALL=zh_CN.UTF-8 xdotool search --onlyvisible --name '^浏览文件夹$' 2>/dev/null | head -1)
  [ -n "$dialog" ] && break
  sleep 0.1
done
[ -n "$dialog" ] || fail "the Browse button opened no dialog"
sleep 0.5
# From the edit box into the tree: its root, then the first folder below it; Enter = OK.
key Tab
key Down
key Down
import -window "$dialog" "$shots/browse-dialog.png" 2>/dev/null
key Return
for _ in $(seq 50); do
  LC_ALL=zh_CN.UTF-8 xdotool search --onlyvisible --name '^浏览文件夹$' >/dev/null 2>&1 || break
  sleep 0.1
done
shot TfrmStartFolder-picked
next
shot TfrmSelComponent
# The mark of the second item (rows of about 17 pixels from the list's top at 96).
click "$frame" 25 122
shot TfrmSelComponent-unticked
next
shot TfrmSelectInstallDir
click "$frame" 200 146
key ctrl+a
xdotool type --delay 40 'C:\Typed\Demo'
sleep 0.4
next
shot TfrmAddonsTask
next
shot TfrmReadyIns
next
for _ in $(seq 600); do
  [ -f "$prefix/drive_c/Typed/Demo/Ins.log" ] && break
  sleep 0.1
done
shot TfrmEndIns
# Finish: the finish actions open the program and the readme, then the closing message.
click "$frame" 461 315
sleep 2
for _ in $(seq 20); do key Return; kill -0 "$run" 2>/dev/null || break; sleep 0.5; done

failed=0
check() { if [ -e "$1" ]; then echo "ok: $2"; else echo "FAIL: $2 ($1)"; failed=1; fi; }
check "$prefix/drive_c/Typed/Demo/DemoSoft/bin/DemoSoft.exe" "the product is in the typed folder"
# The dialog offered the common programs folder's folders; the shortcuts go to the user's
# programs folder under the name picked there.
picked=""
for folder in "$programs"/*/; do
  name=$(basename "$folder")
  found=$(find "$prefix/drive_c" -path "*/Start Menu/Programs/$name/*" -name '*.lnk' 2>/dev/null | head -1)
  [ -n "$found" ] && picked=$found
done
check "${picked:-none}" "shortcuts in the start-menu folder picked in the dialog: ${picked##*/Programs/}"
echo "walked $page pages"
exit $failed
