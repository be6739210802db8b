#!/usr/bin/env bash
# Cheap guards on the layout: Windows headers only in the Windows-specific folders, no platform
# #ifdefs in portable code (CMake picks what is compiled instead), and includes that run one way
# down the layers, never against them.
set -euo pipefail
cd "$(dirname "$0")/.."

# The Windows SDK's headers (and the Windows C runtime's own, such as <io.h>) belong to the
# folders named win32/: system/win32 and ui/win32 for the product, their peers under tests/,
# bench/ and tools/host/ for the checks and setup-tool.exe.
windows_only='(^|/)win32/'
windows_header='#\s*include\s*<(windows|winbase|winnt|winreg|winuser|wingdi|winerror|winioctl|winsvc|wincrypt|wintrust|softpub|shellapi|shlobj|shobjidl|shldisp|shlwapi|knownfolders|objbase|objidl|ole2|oleauto|commctrl|commdlg|richedit|sddl|aclapi|accctrl|ntsecapi|psapi|tlhelp32|userenv|uxtheme|io|direct|tchar)\.h>'
status=0
while IFS= read -r file; do
  if grep -qiE "$windows_header" "$file" && ! [[ $file =~ $windows_only ]]; then
    echo "check-sources: $file includes a Windows header outside the Windows folders"
    status=1
  fi
  if grep -qE '#\s*if(def)?\s*(defined\()?\s*_WIN32' "$file" && ! [[ $file =~ $windows_only ]]; then
    echo "check-sources: $file has a platform #ifdef; let the build choose the sources"
    status=1
  fi
done < <(git ls-files '*.cpp' '*.h')

# The layers, bottom up: what each top-level folder may include besides itself. tests/ and
# bench/ sit above everything and may use all of it; nothing includes them, and only they use
# setup-tool's code (tools/), besides the tool itself.
declare -A may_include=(
  [system]=""
  [package]="system"
  [undo]="system package"
  [engine]="system package undo"
  [uninstaller]="system package undo ui"
  [ui]="system"
  [wizard]="system package undo engine ui"
  [app]="system package undo engine ui wizard"
  [tools]="system package undo engine uninstaller ui wizard app"
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
# The README's layout table names every top-level folder in a row of its own, and every folder
# one level below in that row or in a row of its own.
layout=$(sed -n '/^## Layout$/,/^## /p' README.md)
while IFS= read -r folder; do
  if ! grep -qF "| \`$folder/\` |" <<<"$layout"; then
    echo "check-sources: README's layout table has no row for $folder/"
    status=1
  fi
done < <(git ls-files | sed -n 's|^\([^/]*\)/.*|\1|p' | sort -u)
while IFS= read -r sub; do
  parent=${sub%%/*}
  row=$(grep -F "| \`$parent/\` |" <<<"$layout" || true)
  if ! grep -qF "| \`$sub/\` |" <<<"$layout" && ! grep -qF "\`${sub#*/}/\`" <<<"$row"; then
    echo "check-sources: README's layout table does not mention $sub/"
    status=1
  fi
done < <(git ls-files | sed -n 's|^\([^/]*/[^/]*\)/.*|\1|p' | sort -u)
exit $status
