#include "system/sandbox/SandboxFileStream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "system/Error.h"

namespace sys::sandbox {

namespace {

constexpr int64_t kUnixEpochTicks = 116444736000000000LL;
constexpr int64_t kTicksPerSecond = 10'000'000;

}  // namespace

struct timespec HostTime(uint64_t fileTime) {
  const int64_t sinceUnix = static_cast<int64_t>(fileTime) - kUnixEpochTicks;
  int64_t seconds = sinceUnix / kTicksPerSecond;
  int64_t ticks = sinceUnix % kTicksPerSecond;
  if (ticks < 0) {
    ticks += kTicksPerSecond;
    --seconds;
  }
  return {static_cast<time_t>(seconds), static_cast<long>(ticks * 100)};
}

uint32_t WindowsErrorFromErrno(int error) {
  switch (error) {
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return kErrorAccessDenied;
    case EEXIST: return kErrorFileExists;
    case ENOSPC:
    case EDQUOT: return kErrorDiskFull;
    default: return 31;  // ERROR_GEN_FAILURE
  }
}

SandboxFileStream::SandboxFileStream(int fd, std::optional<FaultRule> writeFault,
                                     std::shared_ptr<StepFaults> steps, std::string name)
    : fd_(fd), writeFault_(std::move(writeFault)), steps_(std::move(steps)), name_(std::move(name)) {}

SandboxFileStream::~SandboxFileStream() { ::close(fd_); }

size_t SandboxFileStream::Read(void* buffer, size_t count) {
  auto* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd_, out + done, count - done, position_);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
    position_ += n;
  }
  return done;
}

void SandboxFileStream::Write(const void* buffer, size_t count) {
  if (steps_) {
    if (auto code = steps_->Next("write", name_)) throw Error(kStreamWriteError, *code);
  }
  const auto* in = static_cast<const char*>(buffer);
  size_t allowed = count;
  if (writeFault_) {
    auto limit = static_cast<int64_t>(writeFault_->afterBytes);
    allowed = position_ >= limit ? 0 : static_cast<size_t>(std::min<int64_t>(limit - position_, count));
  }
  size_t done = 0;
  while (done < allowed) {
    ssize_t n = ::pwrite(fd_, in + done, allowed - done, position_);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw Error(kStreamWriteError, WindowsErrorFromErrno(errno));
    done += static_cast<size_t>(n);
    position_ += n;
  }
  if (done < count) throw Error(kStreamWriteError, writeFault_->osCode);
}

void SandboxFileStream::Seek(int64_t position) { position_ = position < 0 ? 0 : position; }

bool SandboxFileStream::SetLastWriteTime(uint64_t utc) {
  if (steps_ && steps_->Next("set time", name_)) return false;
  const struct timespec times[2] = {{0, UTIME_OMIT}, HostTime(utc)};
  return ::futimens(fd_, times) == 0;
}

int64_t SandboxFileStream::Size() const {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) return 0;
  return static_cast<int64_t>(info.st_size);
}

}  // namespace sys::sandbox
