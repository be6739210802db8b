#!/usr/bin/env bash
# The test command: installs the dependencies, builds both presets and runs both test suites,
# then builds the benchmarks.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
bash scripts/check-sources.sh
jobs=$(nproc)

echo "== host build (ASan + UBSan)"
cmake --preset host >/dev/null
cmake --build --preset host -j"$jobs"
echo "== host tests"
ctest --preset host -j"$jobs"

echo "== win32 build (MinGW-w64 i686, static)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"
echo "== win32 tests under Wine"
ctest --preset win32

# The optimised build warns differently (GCC's -O3 flow warnings); the benchmarks must build.
echo "== bench build (Release; the benchmarks are built, not run)"
cmake --preset bench >/dev/null
cmake --build --preset bench -j"$jobs"
