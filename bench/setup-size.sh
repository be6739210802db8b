#!/usr/bin/env bash
# Prints the size of setup.exe and the DLLs it imports: the stub is shipped with every product,
# so every feature and dependency shows up here.
set -euo pipefail
cd "$(dirname "$0")/.."
exe=build/win32/setup.exe
[ -f "$exe" ] || { cmake --preset win32 >/dev/null && cmake --build --preset win32 --target setup; }
echo "setup.exe: $(stat -c %s "$exe") bytes"
echo "imports: $(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | sort | tr '\n' ' ')"
