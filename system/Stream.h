// Byte streams: the abstract stream that files and memory share, and the in-memory stream.
// File streams come from the platform (Platform::OpenForRead / CreateForWrite).
// Read returns what it could read (short at the end); Write either writes everything or throws
// sys::Error(kStreamWriteError) with the OS code (disk full, access denied, ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sys {

class Stream {
 public:
  virtual ~Stream() = default;
  Stream() = default;
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  virtual size_t Read(void* buffer, size_t count) = 0;
  virtual void Write(const void* buffer, size_t count) = 0;
  // Absolute position; seeking past the end is allowed (a later Read returns 0 bytes).
  virtual void Seek(int64_t position) = 0;
  virtual int64_t Position() const = 0;
  virtual int64_t Size() const = 0;
  // Sets the last-write time (a FILETIME in UTC) of the file being written through the handle
  // the stream holds, after the last write, so that setting it costs no second open of the
  // file by name. Creation and access times stay. False when the stream is no file or the time
  // cannot be set; the file then keeps the time it got.
  virtual bool SetLastWriteTime(uint64_t utc);

  int64_t Remaining() const;
  // Reads exactly count bytes or throws sys::Error(kStreamReadError).
  void ReadExact(void* buffer, size_t count);
};

class MemoryStream : public Stream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::string bytes) : bytes_(std::move(bytes)) {}

  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  void Seek(int64_t position) override;
  int64_t Position() const override { return position_; }
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }

  const std::string& bytes() const { return bytes_; }
  std::string TakeBytes();

 private:
  std::string bytes_;
  int64_t position_ = 0;
};

}  // namespace sys
