// A reading view with its own position over a stream that other views read too: the setup
// program's file is opened once and held for the whole run, and each reader (the loader, the
// unpacking, the install) gets a view of that one handle instead of opening the file again by
// name. Every read seeks the shared stream to the view's position first, so views never disturb
// each other. Not for threads; writing throws Error(kStreamWriteError).
#pragma once

#include <cstdint>

#include "system/Stream.h"

namespace sys {

class StreamView : public Stream {
 public:
  // file must outlive the view.
  explicit StreamView(Stream& file) : file_(file) {}

  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  void Seek(int64_t position) override { position_ = position; }
  int64_t Position() const override { return position_; }
  int64_t Size() const override { return file_.Size(); }

 private:
  Stream& file_;
  int64_t position_ = 0;
};

}  // namespace sys
