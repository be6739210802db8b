// Injected file-system failures for tests of error paths: a rule names the operations it hits and
// a piece of the (normalised, GBK) Windows path, compared ignoring ASCII case, and the Windows
// error code the operation then fails with (kErrorAccessDenied, kErrorDiskFull, ...).
// A Write rule can let the first afterBytes bytes of the file through, like a disk filling up
// part way. Rules stay in force until cleared; they are not saved with the machine.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
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

// A fault at one step, for campaigns that fail each operation in turn: every operation that
// changes the simulated machine (a folder, file, write, move, removal, time, registry key or
// value, shell link, started program) counts as one step, in the order the run makes them. At the
// chosen step the operation either fails with a Windows error code, as it would on Windows, or
// the run stops dead there, as a killed process does: that step throws SimulatedStop and every
// later step fails without changing anything, so no cleanup on the way out leaves a trace.
// Reads never count and never fail.
class StepFaults {
 public:
  // Counting only.
  void Reset();
  void FailAt(uint64_t step, uint32_t osCode);
  void StopAt(uint64_t step);
  // Called before each machine-changing operation: nullopt to go on, else the code to fail with.
  // Throws SimulatedStop at the stop step.
  std::optional<uint32_t> Next(const std::string& what) { return Next(what, {}); }
  // The same for "operation subject", a text made only when the step is hit: the steps of every
  // write of a run cost no text each.
  std::optional<uint32_t> Next(std::string_view operation, std::string_view subject);

  uint64_t steps() const { return steps_; }
  // The operation the fault or stop hit (empty while none did), for the campaign's messages.
  const std::string& hit() const { return hit_; }
  bool stopped() const { return stopped_; }

 private:
  uint64_t steps_ = 0;
  uint64_t at_ = 0;  // 0: no fault
  bool stop_ = false;
  bool stopped_ = false;
  uint32_t osCode_ = 0;
  std::string hit_;
};

// The process "killed" at a step; deliberately no sys::Error, which the runtime would handle.
class SimulatedStop : public std::exception {
 public:
  const char* what() const noexcept override { return "the run was stopped dead"; }
};

}  // namespace sys::sandbox
