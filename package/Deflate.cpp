// The deflate side of chunk records, in files of its own: programs that only read packages and
// logs (uninst.exe) then link no part of zlib's compressor.
#include <zlib.h>

#include <cstring>

#include "package/ChunkCodec.h"
#include "package/LittleEndian.h"
#include "package/uCommon.h"
#include "system/Error.h"
#include "system/Stream.h"

namespace package {

namespace {

[[noreturn]] void ZlibFailed() { throw sys::Error(kZlibError); }

}  // namespace

int ZlibLevel(TCompressLevelEnum level) {
  switch (level) {
    case cplNone: return 0;
    case cplSpeed: return 1;
    case cplPress: return 9;
    default: return Z_DEFAULT_COMPRESSION;
  }
}

std::string CompressChunk(const std::string& data, TCompressLevelEnum level) {
  ChunkDeflater deflater(level);
  return deflater.Compress(reinterpret_cast<const unsigned char*>(data.data()), data.size());
}

ChunkDeflater::ChunkDeflater(TCompressLevelEnum level) : zs_(std::make_unique<z_stream_s>()) {
  std::memset(zs_.get(), 0, sizeof(z_stream_s));
  if (deflateInit(zs_.get(), ZlibLevel(level)) != Z_OK) ZlibFailed();
}

ChunkDeflater::~ChunkDeflater() { deflateEnd(zs_.get()); }

std::string ChunkDeflater::Compress(const unsigned char* data, size_t size) {
  z_stream_s& zs = *zs_;
  if (deflateReset(&zs) != Z_OK) ZlibFailed();
  out_.resize(deflateBound(&zs, static_cast<uLong>(size)));
  zs.next_in = const_cast<unsigned char*>(data);
  zs.avail_in = static_cast<uInt>(size);
  zs.next_out = reinterpret_cast<unsigned char*>(out_.data());
  zs.avail_out = static_cast<uInt>(out_.size());
  if (deflate(&zs, Z_FINISH) != Z_STREAM_END) ZlibFailed();
  out_.resize(out_.size() - zs.avail_out);
  return out_;
}

void ChunkDeflater::WriteChunk(const unsigned char* data, size_t size, sys::Stream& target) {
  Compress(data, size);
  le::WriteU32(target, static_cast<uint32_t>(out_.size()));
  target.Write(out_.data(), out_.size());
}

int64_t ChunkDeflater::WriteRun(sys::Stream& source, sys::Stream& target) {
  unsigned char block[kChunkBlockSize];
  int64_t total = 0;
  for (;;) {
    size_t filled = 0;
    while (filled < kChunkBlockSize) {
      size_t got = source.Read(block + filled, kChunkBlockSize - filled);
      if (got == 0) break;
      filled += got;
    }
    if (filled == 0) return total;
    WriteChunk(block, filled, target);
    total += static_cast<int64_t>(filled);
    if (filled < kChunkBlockSize) return total;
  }
}

}  // namespace package

void CompressStream(sys::Stream& source, sys::Stream& target, TCompressLevelEnum level) {
  source.Seek(0);
  package::ChunkDeflater deflater(level);
  deflater.WriteRun(source, target);
}
