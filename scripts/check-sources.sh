#!/usr/bin/env bash
# Cheap guards on the layout: <windows.h> only in the Windows-specific folders, no platform
# #ifdefs in portable code (CMake picks what is compiled instead), and includes that run one way
# down the layers, never against them.
set -euo pipefail
cd "$(dirname "$0")/.."

windows_only='^(system/win32|ui/win32|tests/win32|tests/support/win32|bench/win32)/'
status=0
while IFS= read -r file; do
  if grep -qiE '#\s*include\s*<windows\.h>' "$file" && ! [[ $file =~ $windows_only ]]; then
    echo "check-sources: $file includes <windows.h> outside the Windows folders"
    status=1
  fi
  if grep -qE '#\s*if(def)?\s*(defined\()?\s*_WIN32' "$file" && ! [[ $file =~ $windows_only ]]; then
    echo "check-sources: $file has a platform #ifdef; let the build choose the sources"
    status=1
  fi
done < <(git ls-files '*.cpp' '*.h')

# What each folder may include besides itself. tools/, tests/ and bench/ sit on top and may use
# everything.
declare -A may_include=(
  [system]=""
  [package]="system"
  [undo]="system package"
  [engine]="system package undo"
  [ui]="system"
  [uninstaller]="system package undo ui"
  [wizard]="system package undo engine ui"
  [app]="system package undo engine ui wizard"
)
# Only the programs' entry points and the tools choose an implementation of the platform or the
# window backend; portable code never names one. The setup program's silent run (app/silent/)
# chooses the in-memory window backend: not one window may open there.
implementation='^(system/(win32|sandbox)|ui/(win32|headless))/'
chooses_implementation='^(app/main\.cpp|app/silent/|uninstaller/program/|tools/|tests/|bench/|system/(win32|sandbox)/|ui/(win32|headless)/)'
while IFS= read -r file; do
  folder=${file%%/*}
  while IFS= read -r included; do
    target=${included%%/*}
    if [[ -v may_include[$folder] && $target != "$folder" ]] &&
       ! [[ " ${may_include[$folder]} " == *" $target "* ]]; then
      echo "check-sources: $file includes $included against the layers ($folder may use: ${may_include[$folder]:-nothing else})"
      status=1
    fi
    if [[ $included =~ $implementation ]] && ! [[ $file =~ $chooses_implementation ]]; then
      echo "check-sources: $file includes the implementation $included; only the programs' entry points choose one"
      status=1
    fi
  done < <(sed -nE 's/^\s*#\s*include\s*"([^"]+)".*/\1/p' "$file")
done < <(git ls-files '*.cpp' '*.h')
exit $status
