#!/usr/bin/env bash
# check-wizard.sh SETUP_TOOL STUB READER WORK_DIR
# A person's setup run of the demo under Wine on a virtual display (Xvfb): the demo's setup
# program, packed on the STUB (the real setup.exe), is started from a downloads folder with no
# parameter (so the elevated copy runs the setup), and the wizard is driven with keys and clicks
# only: Next with Alt+N on every page, the desktop box unticked on the tasks page, the run and
# readme boxes unticked on the finish page, Finish with Alt+F, Enter on the finish message.
# READER (window-reader.exe) reads the windows back through the W API, so every caption and
# page text is checked as a Windows program sees it, under the locale's code page
# (SETUP_WINE_LOCALE). Every page is photographed into build/screenshots/ once the read-back
# names it, and must not be blank (wizard-lib.sh holds these definitions). Afterwards the prefix
# is checked from outside: files, registry, Ins.log, shortcuts (no desktop one). Then a
# no-wizard package, signed after packing, installs through the single progress window.
# SETUP_WIZARD_DPI=144 runs the wizard at 144 DPI: the frame's client size must be 762 x 497,
# and every page is walked and photographed as at 96 DPI (the no-wizard run is left out).
# Exit 0 when every check holds, 77 (skipped) without a host build, 1 otherwise.
set -uo pipefail
tool=$(realpath -m "$1") stub=$(realpath -m "$2") reader=$(realpath -m "$3") work=$(realpath -m "$4")
# shellcheck source=../check-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../check-lib.sh"
demo=$root/examples/demo
locale=${SETUP_WINE_LOCALE:-zh_CN.UTF-8}
dpi=${SETUP_WIZARD_DPI:-96}

if [ ! -x "$tool" ]; then
  echo "no host setup-tool at $tool (build the host preset first); skipped"
  exit 77
fi
check_requires Xvfb xdotool import convert compare jq iconv openssl osslsigncode

# shellcheck source=../../../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
# shellcheck source=wizard-lib.sh
source "$root/tests/win32/Wizard/wizard-lib.sh"
wizard_fail() { fail "$@"; }
wizard_alive() { kill -0 "$run" 2>/dev/null; }
arch=$(wine_arch_of "$stub")
wine_select "$arch"
shots=$root/build/screenshots/$arch-${locale%%.*}-$dpi
prefix=$work/prefix
xvfb="" run=""
cleanup() {
  [ -n "$run" ] && kill -- "-$run" 2>/dev/null
  WINEPREFIX=$prefix "$wine_server" -k 2>/dev/null && WINEPREFIX=$prefix "$wine_server" -w 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  [ "${SETUP_KEEP_WIZARD_RUN:-}" = 1 ] || rm -rf "$work"
}
trap cleanup EXIT
rm -rf "$work" "$shots" && mkdir -p "$work" "$shots"
wine_copy_prefix "$prefix" || exit 1
if [ "$dpi" != 96 ]; then
  printf '\n[Control Panel\\\\Desktop]\n"LogPixels"=dword:%08x\n' "$dpi" >>"$prefix/user.reg"
fi

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start: $(cat "$work/xvfb.log")"; exit 1; }
export DISPLAY=:$(cat "$work/display")

export WINEPREFIX=$prefix WINEDEBUG=-all LANG=$locale LC_ALL=$locale
user=${USER:-$(id -un)}
profile=$prefix/drive_c/users/$user
downloads=$profile/Downloads
mkdir -p "$downloads"
cp "$reader" "$work/window-reader.exe"
wizard_reader=$work/window-reader.exe
caption='“演示软件”安装向导'

has_page() { [ -n "$(wizard_current_page "$caption")" ]; }
left_page() { wizard_off_page "$caption" "$1"; }
has_line() { wizard_has "$caption" "$1"; }
shot() {
  local frame
  frame=$(wizard_frame "$caption") || { fail "no frame to photograph for $1"; return; }
  read -r _ fl ft fw fh <<<"$frame"
  wizard_shoot "$fl" "$ft" "$fw" "$fh" "$shots/$1.png" || { fail "no screenshot of $1"; return; }
  if wizard_blank "$shots/$1.png"; then fail "the screenshot of $1 is blank"; else pass; fi
}

build() {  # project.json output
  "$tool" build "$1" --stub "$stub" -o "$2" >/dev/null || { echo "setup-tool build failed"; exit 1; }
}

# --- The wizard -----------------------------------------------------------------------------
build "$demo/project.json" "$downloads/演示软件安装.exe"
# Wine finds a prefix's server by the folder's inode, which a just-deleted prefix of an earlier
# check may have had: a server of that prefix still going down would take this run's requests.
"$wine_server" -k 2>/dev/null
setsid "$wine_loader" 'C:\users\'"$user"'\Downloads\演示软件安装.exe' >"$work/setup.out" 2>&1 &
run=$!

wizard_wait "the wizard frame of $caption" has_page || exit 1
if [ "$dpi" != 96 ]; then
  size=$(((508 * dpi + 48) / 96))x$(((331 * dpi + 48) / 96))  # MulDiv rounds
  wizard_wait "the frame's client size at $dpi DPI" has_line "window $size $caption"
fi
seen=""
for _ in $(seq 20); do
  wizard_wait "a page in the frame" has_page || break
  page=$(wizard_current_page "$caption")
  [ -z "$page" ] && continue
  case " $seen " in *" $page "*) ;; *) seen="$seen $page"; shot "$page" ;; esac
  case $page in
    附加任务)
      has_line "Button 创建桌面快捷方式 [checked]" && pass || fail "the desktop box is not offered ticked"
      has_line "Button 创建快速启动栏快捷方式" && fail "the Quick Launch box is offered" || pass
      wizard_click "$caption" "Button 创建桌面快捷方式 [checked]" 6
      unticked() { ! has_line "Button 创建桌面快捷方式 [checked]"; }
      wizard_wait "the desktop box unticked" unticked && pass
      wizard_key alt+n ;;
    准备安装)
      wizard_read "$caption" >"$work/ready.txt"
      grep -qF '安装到“C:\Program Files\DemoSoft”文件夹下' "$work/ready.txt" && pass ||
        fail "the summary names no install folder: $(cat "$work/ready.txt")"
      has_line "创建快捷方式到桌面" && fail "the summary still lists the desktop shortcut" || pass
      wizard_key alt+n ;;
    开始安装) ;;
    安装完成)
      has_line 'Button 完成(&F)' && pass || fail "the finish page has no Finish button"
      wizard_click "$caption" 'Button 运行“演示软件” [checked]' 6
      wizard_click "$caption" 'Button Readme [checked]' 6
      none_ticked() { ! has_line "[checked]"; }
      wizard_wait "the finish boxes unticked" none_ticked && pass
      wizard_key alt+f
      break ;;
    安装协议) wizard_key alt+t ;;
    *) wizard_key alt+n ;;
  esac
  # The progress page moves on by itself once the install has run.
  wizard_wait "the page after $page" left_page "$page" || break
done
# The progress page may pass too quickly to be seen.
check "pages shown" "${seen/ 开始安装/}" " 首页 安装协议 软件说明 开始菜单 选择组件 选择安装文件夹 附加任务 准备安装 安装完成"
# The finish message, then the frame and the background window close and the program ends.
wizard_wait "the finish message" has_line '演示软件已成功安装，感谢您的使用！'
wizard_key Return
for _ in $(seq 150); do kill -0 "$run" 2>/dev/null || break; sleep 0.2; done
kill -0 "$run" 2>/dev/null && fail "the setup program did not end after the finish message"
wait "$run"; check "setup exit code" "$?" 0
run=""
"$wine_server" -w

# --- What the run left ----------------------------------------------------------------------
installDir=$prefix/drive_c/Program\ Files/DemoSoft
for file in bin/DemoSoft.exe bin/DemoCore.dll bin/DemoTray.exe config.ini doc/readme.txt; do
  cmp -s "$installDir/$file" "$demo/content/$file" && pass || fail "installed $file missing or different"
done
[ -f "$installDir/Ins.log" ] && pass || fail "no Ins.log"
startMenu=$profile/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/演示软件
[ -f "$startMenu/演示软件.lnk" ] && pass || fail "no Start-menu shortcut"
[ ! -e "$profile/Desktop/演示软件.lnk" ] && pass || fail "a desktop shortcut although its box was unticked"
grep -q '^"DisplayName"="\\x6f14\\x793a\\x8f6f\\x4ef6\(\\x\)\?1.2.0"' "$prefix/system.reg" && pass ||
  fail "no Uninstall registration"
if "$tool" inslog "$installDir/Ins.log" >"$work/inslog.json"; then
  check "Ins.log item name" "$(jq -r .itemName "$work/inslog.json")" '演示软件'
  check "Ins.log desktop items" "$(jq '[.items[] | select(.path | test("Desktop"))] | length' "$work/inslog.json")" 0
else
  fail "Ins.log unreadable"
fi
leftovers=$(find "$profile/Temp" -type f -newer "$work/display" 2>/dev/null | sed "s|^$prefix/||")
check "temporary files left" "$leftovers" ""

if [ "$dpi" != 96 ]; then
  echo "wizard run ($arch, $locale, $dpi DPI): $passed checks passed, $failed failed; screenshots in ${shots#"$root"/}"
  [ "$failed" = 0 ]
  exit
fi

# --- No wizard: the single progress window --------------------------------------------------
jq --arg demo "$demo" '(.settings[] | select(.caption == "显示安装界面") | .value) = "禁用"
    | (.settings[] | select(.caption == "应用程序文件" or .caption == "Readme文件") | .value) = ""
    | .files |= map(if .content then .content = ($demo + "/" + .content) else . end)' \
  "$demo/project.json" >"$work/nowizard.json"
build "$work/nowizard.json" "$work/unsigned.exe"
# Signed after packing, as vendors ship it: the package then ends where the certificate table
# begins.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=Test -keyout "$work/key.pem" \
  -out "$work/cert.pem" >/dev/null 2>&1 || fail "no test certificate"
osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -in "$work/unsigned.exe" \
  -out "$downloads/nowizard.exe" >/dev/null || fail "osslsigncode could not sign the setup program"
rm -rf "$installDir"
setsid "$wine_loader" 'C:\users\'"$user"'\Downloads\nowizard.exe' >"$work/nowizard.out" 2>&1 &
run=$!
for _ in $(seq 300); do kill -0 "$run" 2>/dev/null || break; sleep 0.2; done
kill -0 "$run" 2>/dev/null && fail "the no-wizard setup did not end within 60 s"
wait "$run"; check "no-wizard exit code" "$?" 0
run=""
"$wine_server" -w
cmp -s "$installDir/bin/DemoSoft.exe" "$demo/content/bin/DemoSoft.exe" && pass ||
  fail "the no-wizard run installed no DemoSoft.exe"

check_finish "wizard run ($arch, $locale; screenshots in ${shots#"$root"/})"
