// What the uninstall asks and tells its user, as one small interface, so the same run serves
// the Windows program (its boxes and progress window) and the sandbox (answers from the
// machine's script). MessageBoxDialogs puts every question and the outcome into message boxes
// of the platform, captioned 卸载“product”, and shows no progress: the headless form, and the
// program's until it has its window.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "system/Platform.h"
#include "uninstaller/UninstallReport.h"

namespace uninst {

class UninstallDialogs {
 public:
  virtual ~UninstallDialogs() = default;
  // Asked before anything is removed; false ends the uninstall with nothing removed.
  virtual bool ConfirmUninstall(const std::string& productName) = 0;
  // Asked once at the end, only when some files could not be removed now.
  virtual bool ConfirmRemoveAtRestart(const std::string& productName,
                                      const std::vector<std::string>& files) = 0;
  // Before each step: what is being removed, how many steps are done of all.
  virtual void Progress(const std::string& what, size_t done, size_t total) = 0;
  // Once at the end of an uninstall the user agreed to.
  virtual void ShowOutcome(const UninstallReport& report) = 0;
  // A log that cannot be used; the message says why.
  virtual void ShowError(const std::string& productName, const std::string& message) = 0;
};

// The texts of the boxes, for MessageBoxDialogs and for the window the program will have.
std::string DialogCaption(const std::string& productName);
std::string ConfirmText(const std::string& productName);
std::string RestartQuestionText(const std::vector<std::string>& files);
std::string OutcomeText(const UninstallReport& report);

class MessageBoxDialogs : public UninstallDialogs {
 public:
  explicit MessageBoxDialogs(sys::Platform& platform) : platform_(&platform) {}

  bool ConfirmUninstall(const std::string& productName) override;
  bool ConfirmRemoveAtRestart(const std::string& productName,
                              const std::vector<std::string>& files) override;
  // Keeps the boxes of the GUI thread answering; nothing is shown.
  void Progress(const std::string& what, size_t done, size_t total) override;
  void ShowOutcome(const UninstallReport& report) override;
  void ShowError(const std::string& productName, const std::string& message) override;

 private:
  sys::Platform* platform_;
};

}  // namespace uninst
