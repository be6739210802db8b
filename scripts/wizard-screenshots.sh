#!/usr/bin/env bash
# wizard-screenshots.sh: makes the README's pictures of the demo's wizard again, on purpose:
# they are the references that the wizard walk (tests/win32/Wizard/check-wizard-walk.sh, ctest
# wizard_walk_demo) compares its pictures with. Builds the host setup-tool and the Windows
# setup.exe and window-reader when missing, walks the demo's wizard under Wine on a virtual
# display under code page 936 and writes every page's picture to docs/wizard/. Look at them
# before committing them. SETUP_WIZARD_PRESET picks the Windows build (default: win32 where
# 32-bit programs start, else win64).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
preset=${SETUP_WIZARD_PRESET:-}
if [ -z "$preset" ]; then
  preset=win32
  /usr/lib/wine/wine --version >/dev/null 2>&1 || preset=win64
fi
[ -x build/host/setup-tool ] || { cmake --preset host >/dev/null && cmake --build build/host --target setup-tool; }
cmake --preset "$preset" >/dev/null
cmake --build "build/$preset" --target setup window-reader
SETUP_WIZARD_REFERENCES=update SETUP_WINE_LOCALE=zh_CN.UTF-8 \
  bash tests/win32/Ui/run-with-display.sh bash tests/win32/Wizard/check-wizard-walk.sh \
  build/host/setup-tool "build/$preset/setup.exe" "build/$preset/window-reader.exe" \
  build/wizard-screenshots "build/$preset/wizard-references"
