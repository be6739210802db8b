// sys::Stream over a file of the host (Linux) file system, for the host tools and benchmarks
// that read stubs and content files and write packages outside any sandbox. Errors raise
// sys::Error with the stream layer's texts and errno as the OS code.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>

#include "system/Stream.h"

namespace packager {

class HostFileStream : public sys::Stream {
 public:
  enum class Mode { kRead, kCreate };
  // Throws sys::Error(kCannotOpenFile / kCannotCreateFile) naming the path.
  HostFileStream(const std::filesystem::path& path, Mode mode);
  ~HostFileStream() override;

  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  void Seek(int64_t position) override;
  int64_t Position() const override;
  int64_t Size() const override;

 private:
  std::FILE* file_;
};

std::unique_ptr<sys::Stream> OpenHostFile(const std::filesystem::path& path);
std::unique_ptr<sys::Stream> CreateHostFile(const std::filesystem::path& path);

}  // namespace packager
