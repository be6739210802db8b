#!/usr/bin/env bash
# wine-run.sh program.exe [args...]: runs a Windows program under Wine in the project's prefix
# of the program's architecture (made on first use: build/wineprefix for a 32-bit program,
# build/wineprefix64 under 64-bit Wine for an x86-64 one) and returns its exit code once the
# prefix's wineserver has ended, so consecutive runs never share a server. CMake uses it as the
# cross-compiling emulator of both Windows presets.
# SETUP_WINEPREFIX overrides the prefix, SETUP_WINE_ARCH the architecture. SETUP_WINE_LOCALE
# picks the locale and so the ANSI code page (default zh_CN.UTF-8 = 936; C.UTF-8 gives 1252,
# the non-Chinese Windows case).
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
arch=${SETUP_WINE_ARCH:-$(wine_arch_of "$1")}
wine_select "$arch" || exit 1
export WINEPREFIX=${SETUP_WINEPREFIX:-$wine_default_prefix}
"$root/scripts/wine-prefix.sh" "$WINEPREFIX" "$arch" || exit 1

export WINEDEBUG=${WINEDEBUG:--all}
locale=${SETUP_WINE_LOCALE:-zh_CN.UTF-8}
export LANG=$locale LC_ALL=$locale
unset WINEDLLOVERRIDES
# Serialise users of one prefix: a second wineserver cannot start beside the first.
exec 9>"$WINEPREFIX.run.lock"
flock 9
# Holding the lock, any server still up is left over from an aborted run (a test killed at its
# time-out with a window open); waiting for it below would hang every later run.
"$wine_server" -k 2>/dev/null || true
"$wine_loader" "$@"
rc=$?
"$wine_server" -w
exit $rc
