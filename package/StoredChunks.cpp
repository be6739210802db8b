// Chunk runs without the compressor, in a file of its own so that a program that writes only
// these (uninst.exe) links no part of zlib's deflate (about 33 KB with its tables).
#include <zlib.h>

#include "package/LittleEndian.h"
#include "package/uCommon.h"
#include "system/Stream.h"

namespace package {

void StoreStream(sys::Stream& source, sys::Stream& target) {
  source.Seek(0);
  unsigned char block[kChunkBlockSize];
  for (;;) {
    size_t filled = 0;
    while (filled < kChunkBlockSize) {
      const size_t got = source.Read(block + filled, kChunkBlockSize - filled);
      if (got == 0) break;
      filled += got;
    }
    if (filled == 0) return;
    const auto length = static_cast<uint16_t>(filled);
    const auto check = static_cast<uint32_t>(adler32(adler32(0, nullptr, 0), block, length));
    // zlib header (deflate, 32 KiB window, no dictionary, header check), one final stored block
    // with its length and the length's complement, then the Adler-32 of the bytes, big-endian.
    const unsigned char head[] = {0x78, 0x01, 0x01,
                                  static_cast<unsigned char>(length),
                                  static_cast<unsigned char>(length >> 8),
                                  static_cast<unsigned char>(~length),
                                  static_cast<unsigned char>(~length >> 8)};
    const unsigned char tail[] = {static_cast<unsigned char>(check >> 24),
                                  static_cast<unsigned char>(check >> 16),
                                  static_cast<unsigned char>(check >> 8),
                                  static_cast<unsigned char>(check)};
    le::WriteU32(target, static_cast<uint32_t>(sizeof head + filled + sizeof tail));
    target.Write(head, sizeof head);
    target.Write(block, filled);
    target.Write(tail, sizeof tail);
    if (filled < kChunkBlockSize) return;
  }
}

}  // namespace package
