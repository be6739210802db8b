#!/usr/bin/env bash
# test-win32.sh: configures and builds the win32 preset (MinGW-w64 i686, static) and runs its
# tests under Wine. The Wine prefix (build/wineprefix) is made on first use by
# scripts/wine-run.sh. Prints the size of setup.exe, the figure the stub is watched by.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)"
echo "setup.exe: $(stat -c %s build/win32/setup.exe) bytes"
ctest --preset win32
