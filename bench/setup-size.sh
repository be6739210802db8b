#!/usr/bin/env bash
# Prints the size of setup.exe, the DLLs it imports and what each part of it costs: the stub is
# shipped with every product, so every feature and dependency shows up here. The costs are the
# bytes of code and data the linker kept from each library and object (its map file), before
# the file's own alignment.
set -euo pipefail
cd "$(dirname "$0")/.."
exe=build/win32/setup.exe map=build/win32/setup.map
[ -f "$map" ] || { cmake --preset win32 >/dev/null && cmake --build --preset win32 --target setup; }
echo "setup.exe: $(stat -c %s "$exe") bytes"
echo "imports: $(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | sort | tr '\n' ' ')"
# Map lines of kept input sections: " .text  0xADDRESS  0xSIZE  archive(member)" (the name may
# wrap onto the next line when the section name is long).
kept=$(awk '
  function hex(text,   i, n) {
    text = tolower(substr(text, 3)); n = 0
    for (i = 1; i <= length(text); i++) n = n * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
    return n
  }
  /^ \.[a-z]/ && NF == 1 { pending = $1; next }
  pending != "" && NF == 3 && $1 ~ /^0x/ { print pending, hex($2), $3; pending = ""; next }
  /^ \.(text|data|rdata|bss|pdata|xdata|eh_frame)/ && NF == 4 && $2 ~ /^0x/ { print $1, hex($3), $4 }
  { pending = "" }' "$map")
echo "by library (bytes kept):"
awk '{ name = $3; sub(/.*\//, "", name); sub(/\(.*/, "", name); sum[name] += $2 }
     END { for (n in sum) printf "  %8d  %s\n", sum[n], n }' <<<"$kept" | sort -rn | head -15
echo "largest objects:"
awk '{ name = $3; sub(/.*\//, "", name); sum[name] += $2 }
     END { for (n in sum) printf "  %8d  %s\n", sum[n], n }' <<<"$kept" | sort -rn | head -15
