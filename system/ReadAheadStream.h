// A reading view that fetches its source a block at a time and answers smaller reads from that
// block: the entries of a package with many small files lie one after the other, so installing
// them costs one read of the file per block instead of a seek and a read per entry. A read of a
// block or more goes straight to the source. The source must not change while it is read through
// the view (a setup program's own file does not); writing throws Error(kStreamWriteError).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "system/Stream.h"

namespace sys {

class ReadAheadStream : public Stream {
 public:
  static constexpr size_t kBlockSize = 256 * 1024;

  explicit ReadAheadStream(std::unique_ptr<Stream> source, size_t blockSize = kBlockSize);

  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  void Seek(int64_t position) override { position_ = position < 0 ? 0 : position; }
  int64_t Position() const override { return position_; }
  int64_t Size() const override { return source_->Size(); }

 private:
  std::unique_ptr<Stream> source_;
  size_t blockSize_;
  std::unique_ptr<char[]> block_;  // allocated at the first small read
  int64_t blockStart_ = 0;         // file offset of block_[0]
  size_t blockLength_ = 0;         // bytes of block_ that hold the file
  int64_t position_ = 0;
};

}  // namespace sys
