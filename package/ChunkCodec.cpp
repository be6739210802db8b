#include "package/ChunkCodec.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "package/LittleEndian.h"
#include "system/Error.h"
#include "system/Stream.h"

namespace package {

namespace {

// Compressed bytes read ahead in one go, and verified output gathered before one write: large
// enough that the per-call cost of a file stream disappears, small beside any entry.
constexpr size_t kReadWindow = 256 * 1024;
constexpr size_t kBatchFlush = 128 * 1024;

[[noreturn]] void ZlibFailed() { throw sys::Error(kZlibError); }
[[noreturn]] void Damaged() { throw sys::Error(kDamagedPackage); }

}  // namespace

ChunkInflater::ChunkInflater() : zs_(std::make_unique<z_stream_s>()) {
  std::memset(zs_.get(), 0, sizeof(z_stream_s));
  if (inflateInit(zs_.get()) != Z_OK) ZlibFailed();
}

ChunkInflater::~ChunkInflater() { inflateEnd(zs_.get()); }

// zlib's compressBound written out: calling it links compress.o, and with it the whole
// compressor, into programs that only inflate.
size_t ChunkInflater::MaxChunkInput() {
  constexpr size_t n = kMaxChunkOutput;
  return n + (n >> 12) + (n >> 14) + (n >> 25) + 13;
}

void ChunkInflater::EnsureBatch(size_t bytes) {
  if (bytes <= batchCapacity_) return;
  size_t capacity = std::max(bytes, batchCapacity_ * 2);
  auto grown = std::make_unique_for_overwrite<unsigned char[]>(capacity);
  if (batchCapacity_ != 0) std::memcpy(grown.get(), batch_.get(), batchCapacity_);
  batch_ = std::move(grown);
  batchCapacity_ = capacity;
}

void ChunkInflater::EnsureWindow(size_t bytes) {
  if (bytes <= windowCapacity_) return;
  auto grown = std::make_unique_for_overwrite<unsigned char[]>(bytes);
  if (windowCapacity_ != 0) std::memcpy(grown.get(), window_.get(), windowCapacity_);
  window_ = std::move(grown);
  windowCapacity_ = bytes;
}

size_t ChunkInflater::InflateInto(const unsigned char* data, size_t size) {
  z_stream_s& zs = *zs_;
  if (inflateReset(&zs) != Z_OK) ZlibFailed();
  zs.next_in = const_cast<unsigned char*>(data);
  zs.avail_in = static_cast<uInt>(size);
  size_t produced = 0;
  EnsureBatch(batchFilled_ + kChunkBlockSize + 1);
  for (;;) {
    size_t room = batchCapacity_ - batchFilled_ - produced;
    if (room == 0) {
      EnsureBatch(batchCapacity_ + kChunkBlockSize);
      room = batchCapacity_ - batchFilled_ - produced;
    }
    // One byte beyond the limit is allowed so that exceeding it is seen, never more.
    size_t out = std::min(room, kMaxChunkOutput + 1 - produced);
    zs.next_out = batch_.get() + batchFilled_ + produced;
    zs.avail_out = static_cast<uInt>(out);
    int rc = inflate(&zs, Z_NO_FLUSH);
    produced += out - zs.avail_out;
    if (produced > kMaxChunkOutput) ZlibFailed();
    if (rc == Z_STREAM_END) {
      // A record holds exactly one stream; bytes after it mean the record is not what it claims.
      if (zs.avail_in != 0) ZlibFailed();
      return produced;
    }
    if (rc == Z_BUF_ERROR && zs.avail_out != 0) ZlibFailed();  // input ended inside the stream
    if (rc != Z_OK && rc != Z_BUF_ERROR) ZlibFailed();
  }
}

std::string ChunkInflater::InflateOne(const unsigned char* data, size_t size) {
  if (size > MaxChunkInput()) ZlibFailed();
  batchFilled_ = 0;
  size_t produced = InflateInto(data, size);
  return std::string(reinterpret_cast<const char*>(batch_.get()), produced);
}

void ChunkInflater::Flush(sys::Stream& target) {
  if (batchFilled_ == 0) return;
  size_t count = batchFilled_;
  batchFilled_ = 0;
  target.Write(batch_.get(), count);
}

void ChunkInflater::CopyRun(sys::Stream& source, int64_t start, int64_t end,
                            sys::Stream& target) {
  batchFilled_ = 0;
  if (start >= end) return;
  if (start < 0) Damaged();
  const int64_t limit = std::min(end, source.Size());
  source.Seek(start);
  int64_t windowPos = start;  // file offset of window_[0]
  size_t windowLen = 0;
  // Pointer to count bytes at pos (pos is inside or just past the window; pos + count <= limit).
  auto take = [&](int64_t pos, size_t count) -> const unsigned char* {
    size_t offset = static_cast<size_t>(pos - windowPos);
    if (offset + count <= windowLen) return window_.get() + offset;
    size_t keep = windowLen - offset;
    size_t want = static_cast<size_t>(
        std::min<int64_t>(static_cast<int64_t>(std::max(count, kReadWindow)), limit - pos));
    EnsureWindow(want);
    std::memmove(window_.get(), window_.get() + offset, keep);
    windowPos = pos;
    windowLen = keep;
    windowLen += source.Read(window_.get() + keep, want - keep);
    if (windowLen < count) Damaged();  // the file is shorter than it said
    return window_.get();
  };

  int64_t pos = start;
  try {
    while (pos < end) {
      if (limit - pos < 4) Damaged();
      uint32_t n = le::LoadU32(take(pos, 4));
      pos += 4;
      if (static_cast<int64_t>(n) > limit - pos) Damaged();
      if (n > MaxChunkInput()) ZlibFailed();
      const unsigned char* data = take(pos, n);
      pos += n;
      batchFilled_ += InflateInto(data, n);
      if (batchFilled_ >= kBatchFlush) Flush(target);
    }
  } catch (...) {
    // What was verified before the fault stays written, as with an unbatched copy.
    Flush(target);
    throw;
  }
  Flush(target);
  source.Seek(pos);
}

}  // namespace package
