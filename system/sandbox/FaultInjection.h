// Injected file-system failures for tests of error paths: a rule names the operations it hits and
// a piece of the (normalised, GBK) Windows path, compared ignoring ASCII case, and the Windows
// error code the operation then fails with (kErrorAccessDenied, kErrorDiskFull, ...).
// A Write rule can let the first afterBytes bytes of the file through, like a disk filling up
// part way. Rules stay in force until cleared; they are not saved with the machine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sys::sandbox {

namespace FaultOp {
inline constexpr unsigned Create = 1;     // CreateForWrite, shell link and .url files
inline constexpr unsigned Write = 2;      // Stream::Write on a created file
inline constexpr unsigned Open = 4;       // OpenForRead
inline constexpr unsigned Remove = 8;     // RemoveFile, RemoveEmptyFolder
inline constexpr unsigned Copy = 16;      // CopyNewFile (matched against the target)
inline constexpr unsigned Move = 32;      // MoveReplacing (matched against the target)
inline constexpr unsigned Directory = 64; // ForceDirectories
inline constexpr unsigned RestartMark = 128;  // RemoveAtRestart: a file in use can still be marked
}  // namespace FaultOp

struct FaultRule {
  unsigned ops = 0;          // FaultOp bits
  std::string pathContains;  // empty: every path
  uint32_t osCode = 5;       // kErrorAccessDenied
  uint64_t afterBytes = 0;   // Write only: bytes that still succeed
};

class FaultInjection {
 public:
  void Add(FaultRule rule) { rules_.push_back(std::move(rule)); }
  void Clear() { rules_.clear(); }
  // The first rule for op that matches the normalised path.
  std::optional<FaultRule> Match(unsigned op, const std::string& windowsPath) const;

 private:
  std::vector<FaultRule> rules_;
};

}  // namespace sys::sandbox
