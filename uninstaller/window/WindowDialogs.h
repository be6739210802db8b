// The dialogs of the uninstaller program: the questions and the outcome in the platform's
// message boxes (as MessageBoxDialogs puts them), the progress in a ProgressWindow shown from the
// first step and hidden before the outcome box, so the box is the last thing the user sees.
// Between steps the backend handles pending messages, so the window repaints and moves.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/Backend.h"
#include "uninstaller/UninstallDialogs.h"
#include "uninstaller/window/ProgressWindow.h"

namespace uninst {

class WindowDialogs : public UninstallDialogs {
 public:
  WindowDialogs(sys::Platform& platform, ui::Backend& backend)
      : boxes_(platform), backend_(&backend) {}

  bool ConfirmUninstall(const std::string& productName) override;
  bool ConfirmRemoveAtRestart(const std::string& productName,
                              const std::vector<std::string>& files) override;
  void Progress(const std::string& what, size_t done, size_t total) override;
  void ShowOutcome(const UninstallReport& report) override;
  void ShowError(const std::string& productName, const std::string& message) override;

  // Null until the first step.
  ProgressWindow* Window() { return window_.get(); }

 private:
  void HideWindow();

  MessageBoxDialogs boxes_;
  ui::Backend* backend_;
  std::string productName_;
  std::unique_ptr<ProgressWindow> window_;
};

}  // namespace uninst
