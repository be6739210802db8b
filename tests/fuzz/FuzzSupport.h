// What the fuzz programs share: one simulated machine per process, the rule for which exceptions
// a reader may end in, and a cheap way to hand the input to a reader that takes a file.
//
// A reader of outside data may end in sys::Error (the clear error every damaged input becomes)
// or, in setup-tool, tool::Failure. Anything else escapes LLVMFuzzerTestOneInput, and libFuzzer
// reports the uncaught exception as a crash with the input that caused it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "system/ForwardingPlatform.h"
#include "system/sandbox/SandboxPlatform.h"

namespace fuzz {

// The process's machine, rooted in a new folder under the host's temporary folder (scripts/fuzz.sh
// points TMPDIR at a memory file system) and removed when the process ends normally. It is the
// current platform of the process, as the setup program's is.
class Machine {
 public:
  static Machine& Get();

  sys::sandbox::SandboxPlatform& platform() { return *platform_; }
  // Writes bytes to the Windows path through the platform (parent folders created).
  void Put(const std::string& windowsPath, const std::string& bytes);
  // Empties the machine's temporary folder, so no run sees what an earlier one extracted.
  void ClearTemp();

 private:
  Machine();
  ~Machine();

  std::filesystem::path root_;
  std::unique_ptr<sys::sandbox::SandboxPlatform> platform_;
};

// Files kept in memory in front of the machine: existence, reading, writing, moving and deleting
// files never reach the host, for readers that take a file name and are run millions of times.
// Everything else (folders, the registry) goes to the machine.
class MemoryFiles : public sys::ForwardingPlatform {
 public:
  explicit MemoryFiles(sys::Platform& machine) : ForwardingPlatform(machine) {}

  void Put(const std::string& path, std::string bytes);

  bool FileExists(const std::string& path) const override;
  bool DirectoryExists(const std::string&) const override { return false; }
  std::unique_ptr<sys::Stream> OpenForRead(const std::string& path) override;
  std::unique_ptr<sys::Stream> CreateForWrite(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool MoveReplacing(const std::string& source, const std::string& target) override;

 private:
  // By ASCII-folded path, as Windows compares names.
  std::map<std::string, std::shared_ptr<std::string>> files_;
};

// Runs action; a sys::Error is the expected outcome of damaged input. Returns whether the action
// ended without one.
bool Survives(const std::function<void()>& action);

// The chunk run of bytes in 8,192-byte blocks, each a zlib stream of one stored (uncompressed)
// block: what the packager writes, without the cost of compressing on every run.
std::string StoredChunkRun(const std::string& bytes);

inline std::string Bytes(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace fuzz
