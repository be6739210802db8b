#include "system/Stream.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "system/Error.h"

namespace sys {

bool Stream::SetLastWriteTime(uint64_t) { return false; }

int64_t Stream::Remaining() const { return std::max<int64_t>(0, Size() - Position()); }

void Stream::ReadExact(void* buffer, size_t count) {
  if (Read(buffer, count) != count) throw Error(kStreamReadError);
}

size_t MemoryStream::Read(void* buffer, size_t count) {
  if (count == 0 || position_ >= Size()) return 0;
  size_t available = static_cast<size_t>(Size() - position_);
  size_t n = std::min(count, available);
  std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += static_cast<int64_t>(n);
  return n;
}

void MemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return;
  size_t end = static_cast<size_t>(position_) + count;
  if (end > bytes_.size()) bytes_.resize(end);
  std::memcpy(bytes_.data() + position_, buffer, count);
  position_ = static_cast<int64_t>(end);
}

void MemoryStream::Seek(int64_t position) { position_ = std::max<int64_t>(0, position); }

std::string MemoryStream::TakeBytes() {
  position_ = 0;
  return std::exchange(bytes_, {});
}

}  // namespace sys
