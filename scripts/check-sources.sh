#!/usr/bin/env bash
# Cheap guards on the layout: <windows.h> only in the Windows-specific folders, and no
# platform #ifdefs in portable code (CMake picks what is compiled instead).
set -euo pipefail
cd "$(dirname "$0")/.."

windows_only='^(system/win32|ui/win32|tests/win32|tests/support/win32)/'
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
exit $status
