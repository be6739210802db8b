#include "system/ReadAheadStream.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "system/Error.h"

namespace sys {

ReadAheadStream::ReadAheadStream(std::unique_ptr<Stream> source, size_t blockSize)
    : source_(std::move(source)), blockSize_(std::max<size_t>(blockSize, 1)) {}

size_t ReadAheadStream::Read(void* buffer, size_t count) {
  auto* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < count) {
    if (position_ >= blockStart_ && position_ - blockStart_ < static_cast<int64_t>(blockLength_)) {
      const auto offset = static_cast<size_t>(position_ - blockStart_);
      const size_t n = std::min(count - done, blockLength_ - offset);
      std::memcpy(out + done, block_.get() + offset, n);
      done += n;
      position_ += static_cast<int64_t>(n);
      continue;
    }
    source_->Seek(position_);
    if (count - done >= blockSize_) {
      const size_t n = source_->Read(out + done, count - done);
      done += n;
      position_ += static_cast<int64_t>(n);
      break;
    }
    if (!block_) block_ = std::make_unique_for_overwrite<char[]>(blockSize_);
    blockStart_ = position_;
    blockLength_ = source_->Read(block_.get(), blockSize_);
    if (blockLength_ == 0) break;
  }
  return done;
}

void ReadAheadStream::Write(const void*, size_t) { throw Error(kStreamWriteError); }

}  // namespace sys
