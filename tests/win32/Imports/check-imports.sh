#!/usr/bin/env bash
# check-imports.sh PROGRAM.exe: fails when the program statically imports a DLL that Windows
# does not always take from its own system folder (known DLLs and the like). Anything else a
# planted copy in the program's folder could replace, so it must be loaded at run time from
# the system folder instead.
set -uo pipefail
program=$1
objdump=""
# The first that reads the program: the i686 one does not know x86-64 images (win64 preset).
for candidate in i686-w64-mingw32-objdump x86_64-w64-mingw32-objdump objdump; do
  command -v "$candidate" >/dev/null && "$candidate" -p "$program" >/dev/null 2>&1 &&
    { objdump=$candidate; break; }
done
[ -n "$objdump" ] || { echo "no objdump found"; exit 1; }

allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll "
allowed+="comdlg32.dll msvcrt.dll shlwapi.dll "
imports=$("$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | tr -d '\r')
[ -n "$imports" ] || { echo "no import table read from $program"; exit 1; }
status=0
for dll in $imports; do
  if [[ $allowed != *" $dll "* ]]; then
    echo "FAIL: $program imports $dll, which Windows may load from the program's folder"
    status=1
  fi
done
[ $status -eq 0 ] && echo "imports: $(echo $imports)"
exit $status
