// zlib's crc32(), table-free, for setup.exe, uninst.exe and win32_tests. zlib needs CRC-32 only
// for gzip streams, which the programs never make or read (their streams carry zlib's own
// header and Adler-32). Still, inflate.o and deflate.o name crc32() for their gzip paths, and
// that alone brings the library's crc32.o with its 8 KB of tables into each program. This
// definition comes first on the link line, so the linker takes it and leaves crc32.o out; it is
// exact, only slower, should a gzip stream ever come through. A later zlib that needs more of
// crc32.o fails the link with "multiple definition" instead of linking the tables back.
#include <zlib.h>

#include <cstdint>

extern "C" uLong ZEXPORT crc32(uLong crc, const Bytef* buf, uInt len) {
  if (buf == nullptr) return 0;  // zlib's way of asking for the initial value
  uint32_t value = ~static_cast<uint32_t>(crc);
  while (len-- != 0) {
    value ^= *buf++;
    for (int bit = 0; bit < 8; ++bit) value = (value >> 1) ^ (0xEDB88320u & (0u - (value & 1u)));
  }
  return ~value;
}
