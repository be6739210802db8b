#!/usr/bin/env bash
# wine-prefix.sh [prefix] [win32|win64]: creates the Wine prefix the Windows tests run in
# (default: build/wineprefix for win32, build/wineprefix64 for win64; the architecture defaults
# to SETUP_WINE_ARCH, else win32). Does nothing when it exists. Concurrent callers wait for the
# one that creates it. Needs the packages of scripts/deps.sh.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
wine_select "${2:-${SETUP_WINE_ARCH:-win32}}"
export WINEPREFIX=${1:-${SETUP_WINEPREFIX:-$wine_default_prefix}}
export WINEDEBUG=-all
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
unset DISPLAY WINEDLLOVERRIDES

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
# The marker is written last, so a prefix left half-made by an aborted run is made again; it
# holds the version of these settings, so a prefix made by an older version is made again too.
version="3: Song font AR PL SungtiL GB, also for captions and message boxes"
[ "$(cat "$WINEPREFIX/.setup-ready" 2>/dev/null)" = "$version" ] && exit 0

"$wine_server" -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
# No display and mscoree/mshtml disabled: nothing can pop up a Mono or Gecko dialog. A win64
# prefix warns once about the missing 32-bit rundll32; harmless.
WINEDLLOVERRIDES="mscoree,mshtml=" "$wine_loader" wineboot -i >/dev/null 2>&1
"$wine_server" -w   # wineboot returns before the registry is written
# Debian's Wine does not load its own fonts folder; without Marlett caption buttons are letters.
cp /usr/share/wine/fonts/marlett.ttf /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
# 宋体 is a Song face whose line is exactly one em high; AR PL SungtiL GB (Debian's
# fonts-arphic-gbsn00lp) is one too, so texts take the room they take on Windows. Captions and
# message boxes use it too (a LOGFONTW: 12 pixels high, normal weight, any character set,
# "SimSun"): Windows links its system fonts to SimSun for Chinese on every locale, where Wine's
# Tahoma shows boxes under code page 1252.
song="AR PL SungtiL GB"
system_font=f4,ff,ff,ff,00,00,00,00,00,00,00,00,00,00,00,00,90,01,00,00,00,00,00,01,00,00,00,00,53,00,69,00,6d,00,53,00,75,00,6e,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00
# REGEDIT4 is read in the ANSI code page (936 under the zh locale), so it is written as GBK.
settings=$WINEPREFIX/setup-settings.reg
iconv -f UTF-8 -t GBK >"$settings" <<REG
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"宋体"="$song"
"SimSun"="$song"
"新宋体"="$song"
"NSimSun"="$song"

[HKEY_CURRENT_USER\Control Panel\Desktop\WindowMetrics]
"CaptionFont"=hex:$system_font
"SmCaptionFont"=hex:$system_font
"MessageFont"=hex:$system_font

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Audio"=""

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"winemenubuilder.exe"=""
REG
"$wine_loader" regedit /s "$settings"
"$wine_server" -w
# Wine links the user's Desktop, Documents, ... to the host home folder: shortcuts that tests
# make there would land outside the prefix. Real folders keep every run inside it. Wine names
# the profile after $USER.
find "$WINEPREFIX/drive_c/users/${USER:-$(id -un)}" -maxdepth 1 -type l | while read -r link; do
  rm "$link" && mkdir "$link"
done
grep -q "^\"\\\\x5b8b\\\\x4f53\"=\"$song\"" "$WINEPREFIX/user.reg" || {
  echo "wine-prefix.sh: font replacement missing in $WINEPREFIX/user.reg" >&2
  exit 1
}
grep -q '^"CaptionFont"=hex:f4,ff,ff,ff' "$WINEPREFIX/user.reg" || {
  echo "wine-prefix.sh: caption font missing in $WINEPREFIX/user.reg" >&2
  exit 1
}
echo "$version" >"$WINEPREFIX/.setup-ready"
