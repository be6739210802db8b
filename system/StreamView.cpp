#include "system/StreamView.h"

#include "system/Error.h"

namespace sys {

size_t StreamView::Read(void* buffer, size_t count) {
  file_.Seek(position_);
  const size_t n = file_.Read(buffer, count);
  position_ += static_cast<int64_t>(n);
  return n;
}

void StreamView::Write(const void*, size_t) { throw Error(kStreamWriteError); }

}  // namespace sys
