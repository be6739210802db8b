#!/usr/bin/env bash
# Prints what setup.exe and uninst.exe cost: the file size, the DLLs each imports, and the bytes
# of each output section, library and object the linker kept. Every product ships the stub, so
# every feature and dependency shows up here.
#
#   bench/setup-size.sh [setup|uninst]...   (both when none is named; builds the win32 preset
#                                            when a map is missing)
#
# Only the memory map of the link map counts: its first part lists the sections that
# --gc-sections discarded, and debug sections and .bss take no bytes in the stripped file. What
# is left between the sum of kept sections and the file size is headers, the relocations the
# linker makes and file alignment.
#
# Our own code is compiled as one whole program at link time, so the map shows it as one object
# (*.ltrans.o); its functions and data are then summed by the class or namespace they belong to
# (a free function counts under its own name; .eh_frame and other unnamed sections under their
# section). For the cost of each of our libraries before that, configure with -DSETUP_LTO=OFF.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${SIZE_BUILD_DIR:-build/win32}
top=${SIZE_REPORT_TOP:-15}

# One line per kept input section: "output-section bytes library object input-section".
kept_sections() {
  awk '
    function hex(text,   i, n) {
      text = tolower(substr(text, 3)); n = 0
      for (i = 1; i <= length(text); i++) n = n * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
      return n
    }
    function emit(section, size, file,   library, object) {
      if (section ~ /^\.(z?debug|stab)/ || out == "" || out ~ /^\.(z?debug|stab|bss)/) return
      if (hex(size) == 0) return
      object = file; sub(/.*\//, "", object)
      library = object; sub(/\(.*/, "", library)
      if (library == object) library = "(objects)"
      print out, hex(size), library, object, section
    }
    /^Linker script and memory map/ { memory = 1; next }
    !memory { next }
    # An output section starts in column one: ".text  0x00401000  0x67028".
    /^\.[^ ]+/ { out = $1; if (out == ".eh_fram") out = ".eh_frame"; pending = ""; next }
    # An input section: " .text$name  0xADDRESS  0xSIZE  archive(member)"; a long name puts the
    # address, size and file on the next line.
    /^ [.A-Z][^ ]*$/ { pending = $1; next }
    pending != "" && NF == 3 && $1 ~ /^0x/ { emit(pending, $2, $3); pending = ""; next }
    /^ [.A-Z]/ && NF == 4 && $2 ~ /^0x/ && $3 ~ /^0x/ { emit($1, $3, $4) }
    { pending = "" }' "$1"
}

# Sums field $2 of the kept sections by the field named in $1, largest first, at most $2 lines. The
# lists are cut here rather than by head, whose early exit would break the pipe under pipefail.
sum_by() {
  awk -v field="$1" '{ sum[$field] += $2 }
    END { for (n in sum) printf "  %8d  %s\n", sum[n], n }' | sort -rn | awk -v top="${2:-0}" 'top == 0 || NR <= top'
}

# Sums the whole-program object's sections by the class or namespace of their symbol and prints
# the largest $1.
by_scope() {
  python3 -c '
import re, subprocess, sys

def symbol(section):
    # ".text$_ZN3sys5ErrorD1Ev", ".text.unlikely._ZN...", ".rdata$_ZTV...": the symbol is the
    # mangled name; anything without one is summed under its section.
    found = re.search(r"(?:\$|\.)(_Z.*)$", section) or re.search(r"\$(.*)$", section)
    return found.group(1) if found else ""

def scope(name):
    # The qualified name ends where its parameter list opens; what comes before its last "::"
    # outside template brackets is the class or namespace.
    depth, start, last = 0, 0, -1
    for i, c in enumerate(name):
        if c in "<(": depth += 1
        if c in ">)": depth -= 1
        if depth == 1 and c == "(" and i > 0: break
        if depth == 0 and c == " ": start, last = i + 1, -1
        if depth == 0 and name.startswith("::", i) and i > start: last = i
    else:
        i = len(name)
    return name[start:last] if last > start else name[start:i]

rows = [line.split() for line in sys.stdin if ".ltrans" in line]
names = [symbol(row[4]) for row in rows]
plain = subprocess.run(["c++filt"], input="\n".join(names), capture_output=True, text=True,
                       check=True).stdout.split("\n")
sums = {}
for row, name in zip(rows, plain):
    key = scope(name) if name else "(" + row[4] + ")"
    key = re.sub(r"\.(lto_priv|part|constprop|isra|cold)\.?[0-9]*", "", key)
    sums[key] = sums.get(key, 0) + int(row[1])
for key, size in sorted(sums.items(), key=lambda item: -item[1])[:int(sys.argv[1])]:
    print("  %8d  %s" % (size, key))
' "$1"
}

report() {
  local name=$1 exe=$dir/$1.exe map=$dir/$1.map
  if [ ! -f "$map" ]; then
    cmake --preset win32 >/dev/null && cmake --build --preset win32 --target "$name" >/dev/null
  fi
  local kept
  kept=$(kept_sections "$map")
  echo "== $name.exe: $(stat -c %s "$exe") bytes in the file, $(awk '{ s += $2 } END { print s }' <<<"$kept") bytes of kept sections"
  echo "imports: $(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | sort | tr '\n' ' ')"
  echo "by output section:"
  sum_by 1 <<<"$kept"
  echo "by library:"
  sum_by 3 "$top" <<<"$kept"
  echo "largest objects:"
  sum_by 4 "$top" <<<"$kept"
  if grep -q '\.ltrans' <<<"$kept"; then
    echo "whole-program code by class or namespace:"
    by_scope "$top" <<<"$kept"
  fi
}

for name in "${@:-setup uninst}"; do
  for each in $name; do report "$each"; done
done
