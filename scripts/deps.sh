#!/usr/bin/env bash
# Installs everything the host, win32, win64 and fuzz builds and their tests need, from Debian
# packages (the fuzz build: clang with its libFuzzer and sanitizer runtimes; nsis: the yardstick
# of bench/wine-speed.sh).
# wine32 is installed even where i386 programs cannot start: the test command finds that out.
# Safe to run again: it installs only what is missing.
set -euo pipefail

PKGS="build-essential cmake ninja-build pkg-config zlib1g-dev libgtest-dev libgmock-dev
      nlohmann-json3-dev liblnk-utils jq googletest
      g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev osslsigncode openssl
      wine wine32:i386 wine64 fonts-wine xvfb xfonts-base x11-utils xdotool imagemagick
      fonts-wqy-microhei fonts-arphic-gbsn00lp locales
      clang libclang-rt-dev python3
      nsis"

need_update=""
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
missing=""
for p in $PKGS; do dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"; done
if [ -n "$missing" ] || [ -n "$need_update" ]; then
  apt-get update -qq
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

# Wine takes its ANSI code page from the glibc locale; without zh_CN it garbles GBK arguments.
locale -a 2>/dev/null | grep -qix 'zh_CN.utf8' || localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
