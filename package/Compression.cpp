#include "package/uCommon.h"

#include <zlib.h>

#include "package/ChunkCodec.h"
#include "system/Stream.h"

namespace package {

std::string InflateChunk(const std::string& compressed) {
  ChunkInflater inflater;
  return inflater.InflateOne(reinterpret_cast<const unsigned char*>(compressed.data()),
                             compressed.size());
}

}  // namespace package

void DecompressStream(sys::Stream& source, sys::Stream& target) {
  package::ChunkInflater inflater;
  inflater.CopyRun(source, 0, source.Size(), target);
  target.Seek(0);
}
