#include "uninstaller/SilentUninstall.h"

#include "system/Gbk.h"
#include "system/RunLog.h"
#include "undo/uUnInstall.h"

namespace uninst {

UninstallSwitches ParseUninstallSwitches(const std::vector<std::string>& args) {
  UninstallSwitches switches;
  for (const std::string& word : args) {
    if (sys::SameText(word, "/S")) {
      switches.silent = true;
    } else if (sys::StartsWithText(word, "/LOG=")) {
      switches.logFile = word.substr(5);
      if (switches.logFile->empty()) switches.error = "/LOG= 后面没有日志文件";
    } else {
      switches.rest.push_back(word);
    }
  }
  return switches;
}

int UninstallExitCode(const UninstallReport& report) {
  if (!report.error.empty()) return 1603;
  if (!report.confirmed) return 1602;
  if (!report.With(ItemOutcome::Failed).empty()) return 1603;
  if (!report.With(ItemOutcome::AtRestart).empty()) return 3010;
  return 0;
}

bool SilentDialogs::ConfirmUninstall(const std::string& productName) {
  log_.Line("[product] " + productName);
  return true;
}

bool SilentDialogs::ConfirmRemoveAtRestart(const std::string&,
                                           const std::vector<std::string>& files) {
  for (const std::string& file : files) log_.Line("[restart] removed at the next restart: " + file);
  return true;
}

void SilentDialogs::Progress(const std::string& what, size_t, size_t) {
  log_.Line("[remove] " + what);
}

void SilentDialogs::ShowOutcome(const UninstallReport& report) {
  for (const std::string& item : report.With(ItemOutcome::Failed)) {
    log_.Line("[error] could not be removed: " + item);
  }
  for (const std::string& folder : report.With(ItemOutcome::NotEmpty, undo::kUnInsDir)) {
    log_.Line("[kept] holds other files: " + folder);
  }
}

void SilentDialogs::ShowError(const std::string&, const std::string& message) {
  log_.Line("[error] " + message);
}

}  // namespace uninst
