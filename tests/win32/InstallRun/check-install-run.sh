#!/usr/bin/env bash
# check-install-run.sh SETUP_TOOL STUB DRIVER WORK_DIR [UNINSTALLER]
# Builds the demo setup program (examples/demo) with the host SETUP_TOOL on the win32 STUB (and
# the built UNINSTALLER in place of the demo's placeholder uninst.exe when given), runs
# it through DRIVER (install-run.exe: the real platform layer) under Wine in a fresh copy of the
# project's prefix, then checks what the run left from outside Wine, without our code: the files
# and their times, the registry files of the prefix, the shell links (lnkinfo), the Internet
# shortcut bytes and Ins.log (setup-tool inslog). Exit 0 when every check holds, 77 (skipped)
# without a host build, 1 otherwise. SETUP_KEEP_INSTALL_RUN=1 keeps WORK_DIR for a look.
set -uo pipefail
export LC_ALL=C.UTF-8 LANG=C.UTF-8
# The expected texts are those of a Chinese system (ANSI code page 936): shell links store their
# target in it.
unset SETUP_WINE_LOCALE

# Wine takes only an absolute prefix.
tool=$(realpath -m "$1") stub=$(realpath -m "$2") driver=$(realpath -m "$3") work=$(realpath -m "$4")
# shellcheck source=../check-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../check-lib.sh"
demo=$root/examples/demo
uninstaller=$demo/content/uninst.exe
uninstallerOption=()
if [ -n "${5:-}" ]; then
  uninstaller=$(realpath -m "$5")
  uninstallerOption=(--uninstaller "$uninstaller")
fi

if [ ! -x "$tool" ]; then
  echo "no host setup-tool at $tool (build the host preset first); skipped"
  exit 77
fi
check_requires jq lnkinfo iconv

now() { date +%s.%N; }
elapsed() { awk -v from="$1" -v to="$(now)" 'BEGIN { printf "%.1f s", to - from }'; }

# --- A fresh prefix -------------------------------------------------------------------------
started=$(now)
check_machine "$driver" "$work" SETUP_KEEP_INSTALL_RUN
echo "prefix copied in $(elapsed "$started")"

# --- The setup program and the run ----------------------------------------------------------
stage=$(now)
downloads=$prefix/drive_c/下载
mkdir -p "$downloads"
"$tool" build "$demo/project.json" --stub "$stub" -o "$downloads/演示软件安装.exe" "${uninstallerOption[@]}" >/dev/null ||
  { echo "setup-tool build failed"; exit 1; }
cp "$driver" "$downloads/install-run.exe"
dir='C:\演示程序\DemoSoft'
marker=$work/started
touch "$marker"
# A zone with no daylight saving and far from UTC, so that the local-to-UTC conversion of the
# file times shows; a POSIX rule needs no zone files.
zone=CST-8
SETUP_WINEPREFIX=$prefix TZ=$zone "$root/scripts/wine-run.sh" "$downloads/install-run.exe" 'C:\下载\演示软件安装.exe' \
  --dir "$dir" >"$work/stdout" 2>"$work/stderr"
rc=$?
echo "install run under Wine in $(elapsed "$stage")"
sed 's/^/  | /' "$work/stdout" "$work/stderr"
check "install-run exit code" "$rc" 0
[ "$rc" = 0 ] || { echo "0 checks passed, the install run failed"; exit 1; }
grep -qx 'installed' "$work/stdout" || fail "install-run did not report the end of the install"
grep -qF '== 正在写入反安装信息，请稍候...' "$work/stdout" || fail "the uninstall stage was not reported"
grep -qF '   C:\演示程序\DemoSoft\bin\DemoSoft.exe (' "$work/stdout" || fail "installed files not reported"

# --- Host paths of Windows paths ------------------------------------------------------------
host() {  # C:\a\b -> $prefix/drive_c/a/b (Wine's own folders are lower case: C:\windows)
  local path=${1#[Cc]:\\}
  echo "$prefix/drive_c/${path//\\//}"
}
installDir=$(host "$dir")
windows=$prefix/drive_c/windows
startMenu=$profile/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/演示软件
desktop=$profile/Desktop
quickLaunch=$profile/AppData/Roaming/Microsoft/Internet\ Explorer/Quick\ Launch

# --- Files, content and times ---------------------------------------------------------------
stage=$(now)
# The demo's files are dated 2024-05-01 09:30:00 local time; DOS times count seconds in twos.
expectedTime=$(TZ=$zone date -d '2024-05-01 09:30:00' +%s)
checkFile() {  # host-file content-file (relative to the demo's content, or absolute) dated
  local file=$1 content=$2 dated=$3
  [[ $content == /* ]] || content=$demo/content/$content
  if [ ! -f "$file" ]; then fail "missing ${file#"$prefix"/}"; return; fi
  if cmp -s "$file" "$content"; then pass; else fail "${file#"$prefix"/} differs from $content"; fi
  if [ "$dated" = dated ]; then
    local time diff
    time=$(stat -c %Y "$file")
    diff=$((time - expectedTime))
    if [ "${diff#-}" -le 2 ]; then pass; else
      fail "${file#"$prefix"/} dated $(date -ud "@$time" '+%F %T') UTC, expected $(date -ud "@$expectedTime" '+%F %T') UTC"
    fi
  fi
}
checkFile "$installDir/bin/DemoSoft.exe" bin/DemoSoft.exe dated
checkFile "$installDir/bin/DemoCore.dll" bin/DemoCore.dll dated
checkFile "$installDir/bin/DemoTray.exe" bin/DemoTray.exe dated
checkFile "$installDir/config.ini" config.ini dated
checkFile "$installDir/doc/readme.txt" doc/readme.txt dated
checkFile "$windows/system32/demohelper.dll" system/demohelper.dll dated
checkFile "$installDir/uninst.exe" "$uninstaller" undated
# The component package's settings copy its library into the Windows folder.
checkFile "$windows/demort.dll" comp/DemoRuntime/demort.dll undated
[ -d "$installDir/logs" ] && pass || fail "the empty folder entry logs was not created"
[ -f "$installDir/Ins.log" ] && pass || fail "no Ins.log in the install folder"
# Limited to Windows XP; Wine reports 6.1.
[ ! -e "$installDir/bin/xpfix.dll" ] && pass || fail "xpfix.dll installed on 6.1"
# The unpacked page resources, .reg script and component files are gone again.
leftovers=$(find "$profile/Temp" -type f -newer "$marker" | sed "s|^$prefix/||")
check "temporary files left" "$leftovers" ""

# --- Registry, from the prefix's registry files ---------------------------------------------
# Wine writes every non-ASCII character as \x and 1 to 4 hex digits of its UTF-16 unit.
decode() {
  local s=$1 out="" i=0 c hex
  while ((i < ${#s})); do
    c=${s:i:1}
    if [ "$c" = '\' ]; then
      c=${s:i+1:1}
      if [ "$c" = x ]; then
        hex=$(expr "${s:i+2:4}" : '\([0-9a-fA-F]*\)')
        out+=$(printf "\\u$(printf %04x "0x$hex")")
        i=$((i + 2 + ${#hex}))
        continue
      fi
      out+=$c
      i=$((i + 2))
      continue
    fi
    out+=$c
    i=$((i + 1))
  done
  printf '%s' "$out"
}
# regValue FILE KEY NAME: the stored form of the value (after '='), empty when missing.
regValue() {
  local file=$1 key=$2 name=$3 line rest vname
  local header="[${key//\\/\\\\}]"
  while IFS= read -r line; do
    rest=${line#\"}
    vname=""
    while [ -n "$rest" ] && [ "${rest:0:1}" != '"' ]; do
      if [ "${rest:0:1}" = '\' ]; then vname+=${rest:0:2}; rest=${rest:2}; else vname+=${rest:0:1}; rest=${rest:1}; fi
    done
    if [ "$(decode "$vname")" = "$name" ]; then printf '%s' "${rest#\"=}"; return; fi
  # Through the environment: awk -v would take the doubled backslashes as escapes.
  done < <(HEADER=$header awk 'index($0, ENVIRON["HEADER"] " ") == 1 || $0 == ENVIRON["HEADER"] { inside = 1; next }
                               inside && /^$/ { exit }
                               inside && /^"/ { print }' "$file")
}
regString() {  # a REG_SZ value as text, or its stored form when it is not a plain string
  local stored
  stored=$(regValue "$@")
  if [[ $stored == \"*\" ]]; then stored=${stored#\"}; decode "${stored%\"}"; else printf '%s' "$stored"; fi
}
hklm=$prefix/system.reg
hkcu=$prefix/user.reg
check "HKLM DemoSoft InstallPath" "$(regString "$hklm" 'Software\DemoSoft' InstallPath)" "$dir\\bin\\DemoSoft.exe"
check "HKLM DemoSoft Helper" "$(regString "$hklm" 'Software\DemoSoft' Helper)" 'C:\windows\system32\demohelper.dll'
check "HKLM DemoSoft Version" "$(regValue "$hklm" 'Software\DemoSoft' Version)" 'dword:00010002'
check "HKCU Settings Flags" "$(regValue "$hkcu" 'Software\DemoSoft\Settings' Flags)" 'hex:0a,0b,0c'
check "HKCU Settings 语言" "$(regString "$hkcu" 'Software\DemoSoft\Settings' 语言)" '中文'
check "HKCU Settings XpMode (XP only)" "$(regValue "$hkcu" 'Software\DemoSoft\Settings' XpMode)" ''
check "HKCU value of the .reg script" "$(regString "$hkcu" 'Software\DemoSoft\Imported' Source)" '演示注册表脚本'
check "HKLM Run DemoTray.exe" \
  "$(regString "$hklm" 'Software\Microsoft\Windows\CurrentVersion\Run' DemoTray.exe)" "\"$dir\\bin\\DemoTray.exe\""
uninstallKey='Software\Microsoft\Windows\CurrentVersion\Uninstall\5F0C2A4E-8B1D-4C3A-9E27-6D4B1F8A0C93'
check "Uninstall DisplayName" "$(regString "$hklm" "$uninstallKey" DisplayName)" '演示软件1.2.0'
check "Uninstall DisplayVersion" "$(regString "$hklm" "$uninstallKey" DisplayVersion)" '1.2.0'
check "Uninstall Publisher" "$(regString "$hklm" "$uninstallKey" Publisher)" '演示科技'
check "Uninstall URLInfoAbout" "$(regString "$hklm" "$uninstallKey" URLInfoAbout)" 'http://www.example.com/demosoft/'
check "Uninstall UninstallString" "$(regString "$hklm" "$uninstallKey" UninstallString)" "\"$dir\\uninst.exe\""
check "Uninstall DisplayIcon" "$(regString "$hklm" "$uninstallKey" DisplayIcon)" "$dir\\uninst.exe"
check "Uninstall Install Dir" "$(regString "$hklm" "$uninstallKey" 'Install Dir')" "$dir"

# --- Shortcuts ------------------------------------------------------------------------------
# lnkinfo prints "<tab>Field<tabs>: value"; the show command it prints is always 0, so that one
# is read from the header (offset 0x3C).
lnkField() { lnkinfo -c windows-936 "$1" | sed -n "s/^\t$2\t*: //p" | head -n 1; }
showCommand() { od -An -t u4 -j 60 -N 4 "$1" | tr -d ' '; }
checkLink() {  # file target arguments description working-folder
  local file=$1
  if [ ! -f "$file" ]; then fail "missing shortcut ${file#"$prefix"/}"; return; fi
  local name=${file##*/}
  check "$name target" "$(lnkField "$file" 'Local path')" "$2"
  check "$name arguments" "$(lnkField "$file" 'Command line arguments')" "$3"
  check "$name description" "$(lnkField "$file" 'Description')" "$4"
  check "$name working folder" "$(lnkField "$file" 'Working directory')" "$5"
  check "$name show command" "$(showCommand "$file")" 1
}
checkLink "$startMenu/演示软件.lnk" "$dir\\bin\\DemoSoft.exe" '' '启动演示软件' "$dir\\bin\\"
checkLink "$startMenu/工具/托盘程序.lnk" "$dir\\bin\\DemoTray.exe" '/tray' '演示软件托盘程序' "$dir\\bin\\"
checkLink "$startMenu/卸载“演示软件”.lnk" "$dir\\uninst.exe" '' '' "$dir\\"
checkLink "$desktop/演示软件.lnk" "$dir\\bin\\DemoSoft.exe" '' '启动演示软件' "$dir\\bin\\"
[ ! -e "$quickLaunch/演示软件.lnk" ] && pass || fail "a Quick Launch shortcut although its task is off"
url=$startMenu/演示软件主页.url
if [ -f "$url" ]; then
  check "演示软件主页.url bytes" "$(od -An -c "$url" | tr -s ' \n' ' ')" \
    "$(printf '[InternetShortcut]\r\nURL=http://www.example.com/demosoft/\r\n' | od -An -c | tr -s ' \n' ' ')"
else
  fail "missing the Internet shortcut ${url#"$prefix"/}"
fi

# --- Ins.log --------------------------------------------------------------------------------
log=$work/inslog.json
if "$tool" inslog "$installDir/Ins.log" >"$log"; then
  check "Ins.log item name" "$(jq -r .itemName "$log")" '演示软件'
  check "Ins.log serial" "$(jq -r .serial "$log")" '5F0C2A4E-8B1D-4C3A-9E27-6D4B1F8A0C93'
  # has KIND PATH [REMOVE]: the item is recorded once (paths compared in ASCII-insensitive case).
  has() {
    local count
    count=$(jq --arg kind "$1" --arg path "$2" --arg remove "${3:-}" \
      '[.items[] | select(.kind == $kind and (.path | ascii_downcase) == ($path | ascii_downcase)
                   and ($remove == "" or (.remove | tostring) == $remove))] | length' "$log")
    check "Ins.log $1 $2 ${3:-}" "$count" 1
  }
  hasValue() {  # ROOT PATH NAME
    local count
    count=$(jq --arg root "$1" --arg path "$2" --arg name "$3" \
      '[.items[] | select(.kind == "registry" and .root == $root and .path == $path and .valueName == $name)]
       | length' "$log")
    check "Ins.log value $1\\$2 [$3]" "$count" 1
  }
  for folder in "$dir" "$dir\\bin" "$dir\\doc" "$dir\\logs"; do has folder "$folder"; done
  for file in bin\\DemoSoft.exe bin\\DemoCore.dll bin\\DemoTray.exe doc\\readme.txt; do
    has file "$dir\\$file" true
  done
  has file "$dir\\config.ini" false
  has file 'C:\windows\system32\demohelper.dll' true
  programs="C:\\users\\$user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\演示软件"
  has folder "$programs"
  has folder "$programs\\工具"
  has file "$programs\\演示软件.lnk"
  has file "$programs\\工具\\托盘程序.lnk"
  has file "$programs\\演示软件主页.url"
  has file "$programs\\卸载“演示软件”.lnk"
  has file "C:\\users\\$user\\Desktop\\演示软件.lnk"
  hasValue HKEY_LOCAL_MACHINE 'Software\DemoSoft' InstallPath
  hasValue HKEY_LOCAL_MACHINE 'Software\DemoSoft' Helper
  hasValue HKEY_LOCAL_MACHINE 'Software\DemoSoft' Version
  hasValue HKEY_CURRENT_USER 'Software\DemoSoft\Settings' Flags
  hasValue HKEY_CURRENT_USER 'Software\DemoSoft\Settings' 语言
  # What the machine had before stays out of the log: the uninstaller must not remove it.
  check "Ins.log items of the system folder or HKCU\\Software" \
    "$(jq '[.items[] | select((.kind == "folder" and (.path | ascii_downcase) == "c:\\windows\\system32")
                             or (.kind == "registry" and .root == "HKEY_CURRENT_USER" and .path == "Software"))]
           | length' "$log")" 0
  check "Ins.log value XpMode (XP only)" "$(jq '[.items[] | select(.valueName == "XpMode")] | length' "$log")" 0
else
  fail "setup-tool inslog cannot read Ins.log"
fi
echo "checked from outside in $(elapsed "$stage")"

# --- A run that ends right after starting Regedit -------------------------------------------
# Regedit reads its script from the temporary folder, which the run clears at its end; a
# package with nothing else to do ends within milliseconds of starting it.
stage=$(now)
quick=$work/quick
mkdir -p "$quick"
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\InstallRunCheck]\r\n"Imported"="快速"\r\n' |
  iconv -f UTF-8 -t GBK >"$quick/check.reg"
jq -n --arg uninstaller "$demo/content/uninst.exe" '{
  serial: "0D7E3C52-4A1B-4F6E-8C9D-2B5A7E1F3C60",
  settings: [
    { caption: "项目名称", value: "注册表脚本检查", group: 0 },
    { caption: "显示加载进度", value: "禁用", group: 0 },
    { caption: "默认安装路径", value: "C:\\RegCheck", group: 8 }
  ],
  files: [
    { kind: "regfile", source: "D:\\Check\\check.reg", content: "check.reg" },
    { kind: "uninstaller", source: "D:\\Check\\uninst.exe", content: $uninstaller }
  ]
}' >"$quick/project.json"
if "$tool" build "$quick/project.json" --stub "$stub" -o "$downloads/quick.exe" >/dev/null &&
  SETUP_WINEPREFIX=$prefix "$root/scripts/wine-run.sh" "$downloads/install-run.exe" 'C:\下载\quick.exe' \
    >"$quick/stdout" 2>&1; then
  check "value of a .reg script run at the end" "$(regString "$hkcu" 'Software\InstallRunCheck' Imported)" '快速'
else
  fail "the quick run failed: $(cat "$quick/stdout")"
fi
echo "quick run in $(elapsed "$stage"), whole test $(elapsed "$started")"

check_finish "install run"
