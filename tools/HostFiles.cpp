#include "tools/HostFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "system/Error.h"
#include "tools/ToolText.h"
#include "tools/packager/HostFileStream.h"

namespace tool {
namespace {

std::string Reason(const sys::Error& error) {
  return error.osCode() ? std::string(": ") + std::strerror(static_cast<int>(error.osCode())) : "";
}

class StandardOutput : public sys::Stream {
 public:
  size_t Read(void*, size_t) override { throw Failure("standard output cannot be read"); }
  void Write(const void* buffer, size_t count) override {
    if (std::fwrite(buffer, 1, count, stdout) != count) {
      throw Failure(std::string("cannot write to standard output: ") + std::strerror(errno));
    }
    written_ += static_cast<int64_t>(count);
  }
  void Seek(int64_t) override { throw Failure("standard output cannot seek"); }
  int64_t Position() const override { return written_; }
  int64_t Size() const override { return written_; }
  ~StandardOutput() override { std::fflush(stdout); }

 private:
  int64_t written_ = 0;
};

}  // namespace

std::unique_ptr<sys::Stream> StandardOutputStream() { return std::make_unique<StandardOutput>(); }

std::unique_ptr<sys::Stream> OpenInputFile(const std::filesystem::path& path) {
  try {
    return packager::OpenHostFile(path);
  } catch (const sys::Error& error) {
    throw Failure("cannot open '" + path.string() + "'" + Reason(error));
  }
}

std::unique_ptr<sys::Stream> CreateOutputFile(const std::filesystem::path& path) {
  try {
    return packager::CreateHostFile(path);
  } catch (const sys::Error& error) {
    throw Failure("cannot create '" + path.string() + "'" + Reason(error));
  }
}

}  // namespace tool
