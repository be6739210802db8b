// uninst.exe /S [/LOG=<file>]: the uninstall of an administrator's deployment tool. No window
// and no box: the uninstall is agreed to, files that cannot go now are marked for removal at
// the next restart, and each step, each item that stays and the outcome go to the log. The
// exit codes are the setup program's: 0 removed, 3010 removed but files wait for the next
// restart, 1602 not agreed to (a person's No), 1603 failed (an unusable log, items that
// stayed; the reason in the log), 1618 a setup or uninstaller of the product is running,
// 87 malformed switches.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "uninstaller/UninstallDialogs.h"

namespace sys {
class RunLog;
}

namespace uninst {

struct UninstallSwitches {
  bool silent = false;
  std::optional<std::string> logFile;
  std::vector<std::string> rest;  // the words that are not these switches (the hand-off's)
  std::string error;              // GBK; empty when the switches are well formed
};

// "/S" and "/LOG=<file>" in any letter case; other words starting with "/" are left in rest
// for the hand-off to judge.
UninstallSwitches ParseUninstallSwitches(const std::vector<std::string>& args);

int UninstallExitCode(const UninstallReport& report);

class SilentDialogs : public UninstallDialogs {
 public:
  explicit SilentDialogs(sys::RunLog& log) : log_(log) {}

  bool ConfirmUninstall(const std::string& productName) override;
  bool ConfirmRemoveAtRestart(const std::string& productName,
                              const std::vector<std::string>& files) override;
  void Progress(const std::string& what, size_t done, size_t total) override;
  void ShowOutcome(const UninstallReport& report) override;
  void ShowError(const std::string& productName, const std::string& message) override;

 private:
  sys::RunLog& log_;
};

}  // namespace uninst
