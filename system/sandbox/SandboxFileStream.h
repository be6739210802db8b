// A host file as a sys::Stream. Reads and writes go to the descriptor at the stream's own
// position (pread/pwrite), so seeking past the end is free and a later write fills the gap with
// zeros, as on Windows. A host write failure becomes Error(kStreamWriteError) with the matching
// Windows code (disk full 112, access denied 5); an injected write fault does the same after
// letting its allowance of bytes through.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "system/Stream.h"
#include "system/sandbox/FaultInjection.h"

namespace sys::sandbox {

class SandboxFileStream : public Stream {
 public:
  // Takes ownership of the open descriptor. Each write is one step of steps, when given.
  SandboxFileStream(int fd, std::optional<FaultRule> writeFault,
                    std::shared_ptr<StepFaults> steps = nullptr, std::string name = {});
  ~SandboxFileStream() override;

  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  void Seek(int64_t position) override;
  int64_t Position() const override { return position_; }
  int64_t Size() const override;
  // One step of steps, like the platform's SetLastWriteTime.
  bool SetLastWriteTime(uint64_t utc) override;

  // The host descriptor, for queries on the open file.
  int fd() const { return fd_; }

 private:
  int fd_;
  int64_t position_ = 0;
  std::optional<FaultRule> writeFault_;
  std::shared_ptr<StepFaults> steps_;
  std::string name_;
};

// A FILETIME (100 ns ticks since 1601, UTC) as the host's time stamp.
struct timespec HostTime(uint64_t fileTime);

// errno of a failed host call as the Windows error code the same failure gives there.
uint32_t WindowsErrorFromErrno(int error);

}  // namespace sys::sandbox
