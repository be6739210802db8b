// Where the package ends in a setup program's file, and the file seen only up to there.
//
// A vendor signs the setup program after packing it. The signing tool pads the file with up to 7
// zero bytes to an 8-byte boundary, appends its certificate table (Authenticode) and records the
// table in the PE header's security directory. The package then ends where that padding begins,
// not at the end of the file: the trailer is the 16 bytes before it, and every end-of-file check
// of the reader uses that offset.
//
// The table is taken to end the package only when it lies at the end of the file (its offset
// plus size is the file's length, or up to 7 zero bytes short of it) and after the image with
// room for a trailer. Any other file, including one with malformed PE headers or a table
// somewhere else, reads exactly as an unsigned one: the last 16 bytes are the trailer. A header
// can therefore only shorten what is read, never widen it.
//
// Which of the up to 8 possible padding lengths the signing tool added is decided by the trailer
// itself: the one whose configuration block's record lengths lead exactly to it. When none does
// (no configuration, or a damaged one), the trailer is taken right before the table.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "system/Stream.h"

namespace sys {
class Platform;
}

namespace package {

struct CertificateTable {
  int64_t offset = 0;
  int64_t size = 0;
};

struct PackageBounds {
  int64_t fileLength = 0;
  // The package's trailer ends here: fileLength, or before the padding and certificate table.
  int64_t end = 0;
  // The table the security directory records, whether or not it ends the package.
  std::optional<CertificateTable> certificates;
  // True when the certificate table ends the package (the file is signed after packing).
  bool signedAfterPackage = false;
};

// Reads the PE headers of file and decides where its package ends.
PackageBounds FindPackageBounds(sys::Stream& file);

// A read-only view of a file that ends at the package's end: reads stop there and Size() is it.
class PackageStream : public sys::Stream {
 public:
  PackageStream(std::unique_ptr<sys::Stream> file, int64_t end);

  size_t Read(void* buffer, size_t count) override;
  // Never called on a package; throws sys::Error(kStreamWriteError).
  void Write(const void* buffer, size_t count) override;
  void Seek(int64_t position) override { file_->Seek(position); }
  int64_t Position() const override { return file_->Position(); }
  int64_t Size() const override { return end_; }

 private:
  std::unique_ptr<sys::Stream> file_;
  int64_t end_;
};

// Opens the setup program at path for reading (shared) and bounds it to its package.
std::unique_ptr<sys::Stream> OpenPackage(sys::Platform& platform, const std::string& path);
// Bounds an already open setup program file to its package.
std::unique_ptr<sys::Stream> BoundToPackage(std::unique_ptr<sys::Stream> file);

}  // namespace package
