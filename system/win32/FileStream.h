// A sys::Stream over a Win32 file handle. Reads return what the file holds (short at the end);
// a write that fails or comes up short (disk full) throws Error(kStreamWriteError) with the
// Windows code. Positions are 64-bit, so files past 4 GB work.
#pragma once

#include "system/Stream.h"
#include "system/win32/ScopedWin.h"

namespace sys::win32 {

class FileStream : public Stream {
 public:
  explicit FileStream(ScopedHandle file) : file_(std::move(file)) {}

  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  void Seek(int64_t position) override;
  int64_t Position() const override;
  int64_t Size() const override;
  // SetFileTime on the handle; NTFS keeps a time set this way when the handle closes.
  bool SetLastWriteTime(uint64_t utc) override;

  // The file's handle, for queries on the open file (its security descriptor).
  void* handle() const { return file_.Get(); }

 private:
  ScopedHandle file_;
};

}  // namespace sys::win32
