#include "tools/packager/HostFileStream.h"

#include <cerrno>

#include "system/Error.h"
#include "tools/host/HostSystem.h"

namespace packager {

HostFileStream::HostFileStream(const std::filesystem::path& path, Mode mode)
    : file_(tool::host::OpenFile(path, mode == Mode::kRead ? "rb" : "w+b")) {
  if (!file_)
    throw sys::Error(sys::Format(mode == Mode::kRead ? sys::kCannotOpenFile : sys::kCannotCreateFile,
                                 path.string()),
                     static_cast<uint32_t>(errno));
}

HostFileStream::~HostFileStream() { std::fclose(file_); }

size_t HostFileStream::Read(void* buffer, size_t count) {
  return count == 0 ? 0 : std::fread(buffer, 1, count, file_);
}

void HostFileStream::Write(const void* buffer, size_t count) {
  if (count != 0 && std::fwrite(buffer, 1, count, file_) != count)
    throw sys::Error(sys::kStreamWriteError, static_cast<uint32_t>(errno));
}

void HostFileStream::Seek(int64_t position) {
  tool::host::SeekFile(file_, position < 0 ? 0 : position, SEEK_SET);
}

int64_t HostFileStream::Position() const { return tool::host::TellFile(file_); }

int64_t HostFileStream::Size() const {
  const int64_t here = tool::host::TellFile(file_);
  tool::host::SeekFile(file_, 0, SEEK_END);
  const int64_t size = tool::host::TellFile(file_);
  tool::host::SeekFile(file_, here, SEEK_SET);
  return size;
}

std::unique_ptr<sys::Stream> OpenHostFile(const std::filesystem::path& path) {
  return std::make_unique<HostFileStream>(path, HostFileStream::Mode::kRead);
}

std::unique_ptr<sys::Stream> CreateHostFile(const std::filesystem::path& path) {
  return std::make_unique<HostFileStream>(path, HostFileStream::Mode::kCreate);
}

}  // namespace packager
