#!/usr/bin/env bash
# The main job on the bundled example: builds the runtime (setup.exe) and setup-tool, packs the
# demo product behind setup.exe, checks the package, and installs it on a simulated Windows
# machine, printing what the setup run did and what it left behind, then uninstalls it there.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
jobs=$(nproc)
out=build/demo
mkdir -p "$out"

echo "== building setup-tool (host), setup.exe and uninst.exe (win32)"
cmake --preset host >/dev/null
cmake --build --preset host -j"$jobs" --target setup-tool
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs" --target setup uninst
tool=build/host/setup-tool

echo "== packing the demo behind setup.exe"
# The project names a placeholder uninst.exe; the product carries the one just built.
"$tool" build examples/demo/project.json --stub build/win32/setup.exe -o "$out/DemoSetup.exe" \
  --uninstaller build/win32/uninst.exe
"$tool" verify "$out/DemoSetup.exe"
"$tool" inspect "$out/DemoSetup.exe" > "$out/DemoSetup.json"
echo "(the whole project as stored: $out/DemoSetup.json)"

echo "== installing it on a simulated Windows 7"
rm -rf "$out/machine"
"$tool" simulate "$out/DemoSetup.exe" --root "$out/machine"
"$tool" inslog "$out/machine/drive_c/Program Files/DemoSoft/Ins.log" > "$out/Ins.json"
echo "(the uninstall log as JSON: $out/Ins.json; the machine: $out/machine)"

echo "== uninstalling it there, answering Yes"
echo '["yes"]' > "$out/yes.json"
"$tool" uninstall 'C:\Program Files\DemoSoft\uninst.exe' --root "$out/machine" --answers "$out/yes.json"
