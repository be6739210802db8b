#!/usr/bin/env bash
# The test command: installs the dependencies, builds the host, both Windows, the fuzz and the
# benchmark presets and runs the host suite, the Windows suites under Wine and a short fuzz run.
# The Windows suite always runs as the win64 build under 64-bit Wine, which starts on every
# x86-64 machine; where this machine can start i386 programs it runs the win32 build (the
# product itself) under 32-bit Wine as well. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

# Each stage's end prints how long it took, so CI's log shows where the time goes.
stage_started=$SECONDS
stage() {
  echo "   ($((SECONDS - stage_started)) s)"
  echo "== $*"
  stage_started=$SECONDS
}

echo "== dependencies and source checks"
bash scripts/deps.sh
bash scripts/check-sources.sh
jobs=$(nproc)

stage "host build (ASan + UBSan)"
cmake --preset host >/dev/null
cmake --build --preset host -j"$jobs"
stage "host tests"
ctest --preset host -j"$jobs"

for preset in win32 win64; do
  stage "$preset build (MinGW-w64, static)"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
done

# Whether 32-bit Wine can run here is found out by starting its loader, an i386 program: some
# kernels have IA-32 emulation switched off and refuse it with "Exec format error".
if probe=$(/usr/lib/wine/wine --version 2>&1); then
  win32_reason="this machine starts i386 programs ($probe)"
  suites="win64 win32"
else
  win32_reason="this machine cannot start i386 programs: ${probe:-no output}"
  suites="win64"
fi
stage "Windows suites: $suites (win64 always; win32: $win32_reason)"
for preset in $suites; do
  stage "$preset tests under Wine"
  ctest --preset "$preset"
done

# The fuzz programs: every seed replayed and a few seconds of each target (scripts/fuzz.sh runs
# them for longer).
stage "fuzz build (clang, ASan + UBSan) and a short run of each fuzz target"
bash scripts/fuzz.sh --smoke

# The optimised build warns differently (GCC's -O3 flow warnings): the benchmarks and the tool
# must build with it (the tests are the sanitizer build's).
stage "bench build (Release; the benchmarks are built, not run)"
cmake --preset bench >/dev/null
cmake --build --preset bench -j"$jobs"
# The release tool: the bench build is the same optimised, sanitizer-free setup-tool, so its
# install rule and Debian package are checked from there (seconds).
stage "release tool: install rule, .deb, the packaged setup-tool runs"
bash scripts/release-check.sh build/bench

stage "done in $SECONDS s: host suite, Windows suites $suites; win32 $([ "$suites" = win64 ] && echo "not run: $win32_reason" || echo ran)"
