// An output file written under a temporary name (OUT.partial) and renamed into place at the
// end, so that a failed build leaves no half-written setup program. An interrupted one (Ctrl+C,
// SIGTERM, SIGHUP) removes the partial file before the process dies of the signal.
#pragma once

#include <filesystem>

namespace tool {

class PendingOutput {
 public:
  explicit PendingOutput(std::filesystem::path target);
  ~PendingOutput();
  PendingOutput(const PendingOutput&) = delete;
  PendingOutput& operator=(const PendingOutput&) = delete;

  const std::filesystem::path& temporary() const { return temporary_; }
  void Commit();

 private:
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  bool committed_ = false;
};

}  // namespace tool
