#include "package/uCommon.h"

#include <zlib.h>

#include "package/ChunkCodec.h"
#include "system/Stream.h"

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

std::string InflateChunk(const std::string& compressed) {
  ChunkInflater inflater;
  return inflater.InflateOne(reinterpret_cast<const unsigned char*>(compressed.data()),
                             compressed.size());
}

void CompressStream(sys::Stream& source, sys::Stream& target, TCompressLevelEnum level) {
  source.Seek(0);
  ChunkDeflater deflater(level);
  deflater.WriteRun(source, target);
}

void DecompressStream(sys::Stream& source, sys::Stream& target) {
  ChunkInflater inflater;
  inflater.CopyRun(source, 0, source.Size(), target);
  target.Seek(0);
}
