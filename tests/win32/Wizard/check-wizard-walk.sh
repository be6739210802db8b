#!/usr/bin/env bash
# check-wizard-walk.sh SETUP_TOOL SETUP_EXE READER SHOT_DIR WORK_DIR: builds the demo setup
# program on SETUP_EXE, runs it under Wine on the display in DISPLAY (run-with-display.sh
# provides one) in a fresh copy of the project's prefix, and walks the wizard as a person would:
# Alt+N on the welcome page, the licence's Alt+T with the licence focused, a start-menu folder
# picked in the browse dialog with the keys, the second component unticked, an install folder
# typed, the finish page's boxes unticked, then Finish. READER (window-reader.exe) reads every
# page back before it is photographed, so each picture is named after the page that showed, and
# every action is a key or a click on a control found in that read-back, followed by a wait for
# its effect (wizard-lib.sh).
#
# Every picture goes to SHOT_DIR (page-NN-CLASS.png), must not be blank, and must be the same
# picture (wizard-lib.sh) as its reference of the same name in docs/wizard/, the README's
# pictures; a differing picture is kept beside it as NAME.diff.png. SETUP_WIZARD_REFERENCES=update
# makes the shots the new references instead (scripts/wizard-screenshots.sh), and records in
# docs/wizard/architecture which Windows build made them: a build of the other architecture
# has its pictures checked for blankness only and says so (its Wine prefix differs in small
# ways, such as the folders the browse dialog lists). The free-space figure of the
# install-folder page depends on the machine and is left out of the comparison.
#
# At the end the product must sit in the typed folder and the shortcuts in the folder picked.
# Exit 0 when every check holds, 77 (skipped) without a host build, 1 otherwise.
set -uo pipefail
tool=$(realpath -m "$1") stub=$(realpath -m "$2") reader=$(realpath -m "$3")
shots=$(realpath -m "$4") work=$(realpath -m "$5")
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
references=$root/docs/wizard
[ -x "$tool" ] || { echo "no host setup-tool at $tool; skipped"; exit 77; }
for program in xdotool import convert compare identify; do
  command -v "$program" >/dev/null || { echo "$program is missing (scripts/deps.sh installs it)"; exit 1; }
done
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY; run through run-with-display.sh"; exit 1; }

# shellcheck source=../../../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
# shellcheck source=wizard-lib.sh
source "$root/tests/win32/Wizard/wizard-lib.sh"
arch=$(wine_arch_of "$stub")
wine_select "$arch"
prefix=$work/prefix
run=""
failed=0
cleanup() {
  [ -n "$run" ] && kill -- "-$run" 2>/dev/null
  WINEPREFIX=$prefix "$wine_server" -k 2>/dev/null
  [ "${SETUP_KEEP_WIZARD:-}" = 1 ] || rm -rf "$work"
}
trap cleanup EXIT
wizard_fail() { echo "FAIL: $*"; failed=1; }
wizard_alive() { kill -0 "$run" 2>/dev/null; }
stop() { echo "FAIL: $*"; exit 1; }
rm -rf "$work" && mkdir -p "$work" "$shots"
wine_copy_prefix "$prefix" || exit 1
wizard_reader=$work/window-reader.exe
cp "$reader" "$wizard_reader"

setup=$prefix/drive_c/DemoSetup.exe
"$tool" build "$root/examples/demo/project.json" --stub "$stub" -o "$setup" >/dev/null ||
  stop "setup-tool build failed"
# The start-menu folder the browse dialog will offer.
programs="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
[ -d "$programs" ] || programs="$prefix/drive_c/users/Public/Start Menu/Programs"
mkdir -p "$programs/Accessories"

export WINEPREFIX=$prefix WINEDEBUG=-all
locale=${SETUP_WINE_LOCALE:-zh_CN.UTF-8}
export LANG=$locale LC_ALL=$locale
# A server left from an earlier prefix with this folder's inode would take this run's requests.
"$wine_server" -k 2>/dev/null
# Any parameter: no elevated relaunch.
setsid "$wine_loader" "$setup" -1 >"$work/wine.log" 2>&1 &
run=$!

caption='“演示软件”安装向导'
has_frame() { wizard_frame "$caption" >/dev/null; }
wizard_wait "the wizard frame" has_frame || stop "no wizard ($(tr -d '\r' <"$work/wine.log"))"

# photograph NAME LEFT TOP WIDTH HEIGHT [MASK]: a picture of that screen rectangle, not blank,
# compared with its reference (MASK "x,y,w,h" in the picture is left out of the comparison).
photograph() {
  local file=$shots/$1.png reference=$references/$1.png
  wizard_shoot "$2" "$3" "$4" "$5" "$file" || { wizard_fail "no picture of $1"; return; }
  if wizard_blank "$file"; then wizard_fail "the picture $1 is blank"; return; fi
  if [ "${SETUP_WIZARD_REFERENCES:-}" = update ]; then
    mkdir -p "$references" && cp "$file" "$reference" && echo "$arch" >"$references/architecture"
    echo "reference: docs/wizard/$1.png"
    return
  fi
  if [ "$(cat "$references/architecture" 2>/dev/null)" != "$arch" ]; then
    echo "page $1: not blank; compared only in $(cat "$references/architecture" 2>/dev/null) builds"
    return
  fi
  [ -f "$reference" ] || { wizard_fail "no reference picture docs/wizard/$1.png"; return; }
  local shot=$file kept=$reference
  if [ -n "${6:-}" ]; then
    IFS=, read -r x y w h <<<"$6"
    shot=$work/$1.shot.png kept=$work/$1.reference.png
    convert "$file" -fill magenta -draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))" "$shot"
    convert "$reference" -fill magenta -draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))" "$kept"
  fi
  local count
  count=$(wizard_differing "$shot" "$kept") || count="a different size"
  if wizard_same "$shot" "$kept"; then
    echo "page $1: same as its reference ($count pixels differ)"
  else
    compare "$shot" "$kept" "$shots/$1.diff.png" 2>/dev/null
    wizard_fail "$1 differs from docs/wizard/$1.png: $count pixels (at most $wizard_tolerance); see $shots/$1.diff.png"
  fi
}
# photograph_page NAME PAGE: the frame, once it shows PAGE.
photograph_page() {
  wizard_wait "the page $2" wizard_on_page "$caption" "$2" || return 1
  local frame
  frame=$(wizard_frame "$caption") || return 1
  read -r _ fl ft fw fh <<<"$frame"
  photograph "$1" "$fl" "$ft" "$fw" "$fh" "${3:-}"
}
# next PAGE: Alt+N, then wait until the frame has left PAGE.
next() {
  wizard_key alt+n
  wizard_wait "the page after $1" wizard_off_page "$caption" "$1"
}

photograph_page page-01-TfrmFist 首页
next 首页
photograph_page page-02-TfrmProtocol 安装协议
# The licence takes the focus, and Alt+T (我同意) still reaches the button.
wizard_click "$caption" "RichEdit"
wizard_key Next
wizard_key alt+t
wizard_wait "the page after the licence" wizard_off_page "$caption" 安装协议
photograph_page page-03-TfrmSoftExplaion 软件说明
next 软件说明

photograph_page page-04-TfrmStartFolder 开始菜单
wizard_key alt+b
dialog_shown() { wizard_has 浏览文件夹 "SysTreeView32"; }
dialog_gone() { ! wizard_has 浏览文件夹 "window "; }
wizard_wait "the browse dialog" dialog_shown
# A right click on the tree's second row (rows of 16 pixels at 96 DPI below its 2-pixel edge)
# selects that folder; then the keys pick Accessories: a click on the tree's empty part gives
# it the focus, and the name typed there finds the folder (the tree's type-ahead).
shown_name() { wizard_read 浏览文件夹 | sed -n -E 's/^  Edit (.*) @.*/\1/p'; }
picked() { [ "$(shown_name)" = "$1" ]; }
tree=$(wizard_place 浏览文件夹 SysTreeView32) || stop "no folder tree"
read -r tl tt _ th <<<"$tree"
before=$(shown_name)
xdotool mousemove $((tl + 70)) $((tt + 2 + 16 + 8)) click 3
right_clicked() { ! picked "$before"; }
wizard_wait "the folder under a right click selected" right_clicked
echo "a right click selected: $(shown_name)"
xdotool mousemove $((tl + 150)) $((tt + th - 10)) click 1
xdotool type --delay 20 Accessories
wizard_wait "Accessories picked in the tree" picked Accessories
place=$(wizard_read 浏览文件夹 | sed -n -E 's/^window .* @(-?[0-9]+),(-?[0-9]+),([0-9]+),([0-9]+)$/\1 \2 \3 \4/p' | head -1)
read -r dl dt dw dh <<<"$place"
photograph browse-dialog "$dl" "$dt" "$dw" "$dh"
wizard_key Return
wizard_wait "the browse dialog to close" dialog_gone
wizard_wait "the picked folder in the edit box" wizard_has "$caption" "Edit Accessories"
photograph_page page-05-TfrmStartFolder-picked 开始菜单
next 开始菜单

photograph_page page-06-TfrmSelComponent 选择组件
required=$(wizard_read "$caption" | grep -o '所需空间大小 [^@]*' | head -1)
# The first row selected by a click on its text, the second by Down, its mark by Space.
list=$(wizard_place "$caption" "SysListView32") || stop "no component list"
read -r ll lt _ _ <<<"$list"
xdotool mousemove $((ll + 60)) $((lt + 10)) click 1
wizard_key Down
wizard_key space
size_changed() { wizard_lacks "$caption" "$required"; }
wizard_wait "the required size to drop ($required)" size_changed
photograph_page page-07-TfrmSelComponent-unticked 选择组件
next 选择组件

# The free-space figure (lDrvSize at 148, 212 of the page, below the frame's 3-pixel edge and
# 19-pixel caption) is left out of the comparison: it is the host's disk.
photograph_page page-08-TfrmSelectInstallDir 选择安装文件夹 "151,232,160,16"
wizard_click "$caption" "Edit C:\\"
wizard_key ctrl+a
xdotool type --delay 20 'C:\Typed\Demo'
wizard_wait "the typed folder in the edit box" wizard_has "$caption" 'Edit C:\Typed\Demo '
next 选择安装文件夹
photograph_page page-09-TfrmAddonsTask 附加任务
next 附加任务
photograph_page page-10-TfrmReadyIns 准备安装
next 准备安装

photograph_page page-11-TfrmEndIns 安装完成
# The run and readme boxes unticked (the demo's program is no program), then Finish.
wizard_click "$caption" 'Button 运行“演示软件” [checked]' 6
wizard_click "$caption" 'Button Readme [checked]' 6
unticked() { wizard_lacks "$caption" "[checked]"; }
wizard_wait "both finish boxes unticked" unticked
wizard_key alt+f
wizard_wait "the finish message" wizard_has "$caption" '演示软件已成功安装，感谢您的使用！'
wizard_key Return
for _ in $(seq 150); do wizard_alive || break; sleep 0.2; done
wizard_alive && wizard_fail "the setup program did not end after the finish message"

check() { if [ -e "$1" ]; then echo "ok: $2"; else wizard_fail "$2 ($1)"; fi; }
check "$prefix/drive_c/Typed/Demo/DemoSoft/bin/DemoSoft.exe" "the product is in the typed folder"
# The dialog offered the common programs folder's folders; the shortcuts go to the user's
# programs folder under the name picked there.
found=$(find "$prefix/drive_c" -path "*/Start Menu/Programs/Accessories/*" -name '*.lnk' 2>/dev/null | head -1)
check "${found:-none}" "shortcuts in the start-menu folder picked in the dialog"
[ "$failed" = 0 ] && echo "wizard walk: every page read back, photographed and the same as its reference"
exit $failed
