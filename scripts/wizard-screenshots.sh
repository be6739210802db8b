#!/usr/bin/env bash
# wizard-screenshots.sh: makes the README's pictures of the demo's wizard again. Builds the host
# setup-tool and the Windows setup.exe when missing, walks the demo's wizard under Wine on a
# virtual display (tests/win32/Wizard/check-wizard-walk.sh) and keeps its screenshots in docs/wizard/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
[ -x build/host/setup-tool ] || { cmake --preset host >/dev/null && cmake --build build/host --target setup-tool; }
[ -f build/win32/setup.exe ] || { cmake --preset win32 >/dev/null && cmake --build build/win32 --target setup; }
rm -rf docs/wizard
bash tests/win32/Ui/run-with-display.sh bash tests/win32/Wizard/check-wizard-walk.sh \
  build/host/setup-tool build/win32/setup.exe docs/wizard build/wizard-screenshots
