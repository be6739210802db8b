// The zlib side of chunk records, with buffers and zlib state kept from one chunk to the next
// so that a run of thousands of chunks costs no allocation per chunk.
//
// ChunkInflater reads a chunk run from a stream: each record's length is checked against the
// run's end and the stream's end (sys::Error(kDamagedPackage)) before anything is read; each
// chunk must be exactly one complete zlib stream that inflates to at most kMaxChunkOutput bytes
// (else sys::Error(kZlibError)). Only the output of complete, verified chunks reaches the target.
// Memory held: one read window, one chunk's output and a small write batch, whatever the run's
// length.
//
// ChunkDeflater cuts a stream into 8,192-byte blocks and writes one chunk record per block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "package/uCommon.h"

struct z_stream_s;

namespace sys {
class Stream;
}

namespace package {

class ChunkInflater {
 public:
  ChunkInflater();
  ~ChunkInflater();
  ChunkInflater(const ChunkInflater&) = delete;
  ChunkInflater& operator=(const ChunkInflater&) = delete;

  // Unpacks the chunk run [start, end) of source and appends the bytes to target. A run with
  // start >= end is empty. Whatever verified chunks preceded a fault stay written.
  void CopyRun(sys::Stream& source, int64_t start, int64_t end, sys::Stream& target);
  // Inflates one complete zlib stream.
  std::string InflateOne(const unsigned char* data, size_t size);

  // Largest compressed length a chunk within kMaxChunkOutput can have; longer is damaged.
  static size_t MaxChunkInput();

 private:
  // Inflates one chunk into the batch after its filled part; returns the bytes produced.
  size_t InflateInto(const unsigned char* data, size_t size);
  void Flush(sys::Stream& target);
  void EnsureWindow(size_t bytes);
  void EnsureBatch(size_t bytes);

  std::unique_ptr<z_stream_s> zs_;
  std::unique_ptr<unsigned char[]> window_;  // compressed bytes read ahead
  size_t windowCapacity_ = 0;
  std::unique_ptr<unsigned char[]> batch_;  // verified output waiting to be written
  size_t batchCapacity_ = 0;
  size_t batchFilled_ = 0;
};

class ChunkDeflater {
 public:
  explicit ChunkDeflater(TCompressLevelEnum level);
  ~ChunkDeflater();
  ChunkDeflater(const ChunkDeflater&) = delete;
  ChunkDeflater& operator=(const ChunkDeflater&) = delete;

  // One complete zlib stream of the bytes; throws sys::Error(kZlibError) when zlib fails.
  std::string Compress(const unsigned char* data, size_t size);
  // Writes the chunk record of the bytes (length, then the zlib stream) to target.
  void WriteChunk(const unsigned char* data, size_t size, sys::Stream& target);
  // Reads source from its current position to its end, one chunk per 8,192-byte block.
  // Returns the number of unpacked bytes written.
  int64_t WriteRun(sys::Stream& source, sys::Stream& target);

 private:
  std::unique_ptr<z_stream_s> zs_;
  std::string out_;
};

}  // namespace package
