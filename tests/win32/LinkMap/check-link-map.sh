#!/usr/bin/env bash
# check-link-map.sh PROGRAM.map: fails when the link took libstdc++'s standard exception
# classes or their throw helpers into the program. They come with std::runtime_error,
# std::logic_error and their kin, or when libstdc++'s own std::__throw_* helpers are linked
# instead of ours (system/win32/runtime/LibraryErrors.h), and bring the copy-on-write string
# with them: about 55 KB in each program. Also fails when zlib's crc32.o with its 8 KB of tables
# comes in, which system/win32/runtime/ZlibCrc32.cpp keeps out.
set -uo pipefail
map=$1
[ -s "$map" ] || { echo "no link map at $map"; exit 1; }
found=$(grep -oE 'libstdc\+\+\.a\((functexcept|stdexcept|cow-stdexcept|cxx11-stdexcept|cow-string-inst)\.o\)' "$map" | sort -u)
if [ -n "$found" ]; then
  echo "FAIL: $map links $(echo $found)"
  echo "(a std::runtime_error or std::logic_error in the runtime, or a std::__throw_* helper that"
  echo " system/win32/runtime/LibraryErrors.cpp does not define; the map's first part says who asked)"
  exit 1
fi
if grep -q 'libz\.a(crc32\.o)' "$map"; then
  echo "FAIL: $map links libz.a(crc32.o) (a zlib function that system/win32/runtime/ZlibCrc32.cpp"
  echo " does not replace, or that file is no longer a source of the program)"
  exit 1
fi
echo "no standard exception classes and no zlib CRC tables in $map"
