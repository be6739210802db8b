#!/usr/bin/env bash
# wine-run.sh program.exe [args...]: runs a Windows program under Wine in the project's prefix
# (created on first use) and returns its exit code once the prefix's wineserver has ended, so
# consecutive runs never share a server. CMake uses it as the cross-compiling emulator.
# SETUP_WINE_LOCALE picks the locale and so the ANSI code page (default zh_CN.UTF-8 = 936;
# C.UTF-8 gives 1252, the non-Chinese Windows case).
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${SETUP_WINEPREFIX:-$root/build/wineprefix}
"$root/scripts/wine-prefix.sh" "$WINEPREFIX" || exit 1

export WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
locale=${SETUP_WINE_LOCALE:-zh_CN.UTF-8}
export LANG=$locale LC_ALL=$locale
unset WINEDLLOVERRIDES
# Serialise users of one prefix: a second wineserver cannot start beside the first.
exec 9>"$WINEPREFIX.run.lock"
flock 9
# Holding the lock, any server still up is left over from an aborted run (a test killed at its
# time-out with a window open); waiting for it below would hang every later run.
wineserver -k 2>/dev/null || true
wine "$@"
rc=$?
wineserver -w
exit $rc
