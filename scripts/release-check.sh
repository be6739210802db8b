#!/usr/bin/env bash
# The release tool as a build server gets it: setup-tool built without sanitizers, installed by
# the install rule and packed by CPack into a .deb. Checks the package's contents and
# dependencies, then unpacks it into a scratch folder (nothing is installed on this machine)
# and runs the setup-tool it holds: --version, and a build that verify accepts.
#
#   scripts/release-check.sh              configures and builds the release preset first
#   scripts/release-check.sh build/bench  takes an optimised build folder that exists (CI: the
#                                          bench build, so the check costs seconds, not a build)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/release}
if [ $# -eq 0 ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release -j"$(nproc)"
fi
[ -x "$build/setup-tool" ] || { echo "release-check: no setup-tool in $build" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "release-check: $*" >&2; exit 1; }

echo "== install rule"
cmake --install "$build" --prefix "$work/stage" >/dev/null
[ -x "$work/stage/bin/setup-tool" ] || fail "the install rule put no bin/setup-tool"
[ -f "$work/stage/share/doc/setup-tool/project-json.md" ] || fail "the install rule put no docs"

echo "== Debian package (CPack)"
cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null
deb=$(ls "$work"/deb/*.deb)
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"
dpkg-deb -c "$deb" | awk '{print $NF}' > "$work/contents"
for file in ./usr/bin/setup-tool ./usr/share/doc/setup-tool/project-json.md \
            ./usr/share/doc/setup-tool/checks.md ./usr/share/doc/setup-tool/simulate.md \
            ./usr/share/doc/setup-tool/components-and-folders.md; do
  grep -qx "$file" "$work/contents" || fail "$file is not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libc6 libstdc++6 zlib1g; do
  [[ $depends == *"$library"* ]] || fail "Depends does not name $library"
done
# No sanitizer runtime may ride along: a build server has none.
[[ $depends != *libasan* && $depends != *libubsan* ]] || fail "the package needs a sanitizer runtime"

echo "== the packaged setup-tool runs"
dpkg-deb -x "$deb" "$work/root"
tool="$work/root/usr/bin/setup-tool"
version=$(dpkg-deb -f "$deb" Version)
[ "$("$tool" --version)" = "setup-tool $version" ] || fail "--version does not say $version"
mkdir -p "$work/product"
printf 'MZ%510s' '' > "$work/stub.exe"
printf 'hello' > "$work/product/hello.txt"
printf 'uninstaller' > "$work/uninst.exe"
(cd "$work" && "$tool" -q init product -o project.json --name Hello --uninstaller uninst.exe &&
  "$tool" -q build project.json --stub stub.exe --uninstaller uninst.exe -o Setup.exe &&
  "$tool" verify Setup.exe) || fail "the packaged setup-tool could not build and verify a setup program"
echo "== release check passed"
