#include "uninstaller/window/WindowDialogs.h"

namespace uninst {

bool WindowDialogs::ConfirmUninstall(const std::string& productName) {
  productName_ = productName;
  return boxes_.ConfirmUninstall(productName);
}

bool WindowDialogs::ConfirmRemoveAtRestart(const std::string& productName,
                                           const std::vector<std::string>& files) {
  HideWindow();
  return boxes_.ConfirmRemoveAtRestart(productName, files);
}

void WindowDialogs::Progress(const std::string& what, size_t done, size_t total) {
  if (!window_) window_ = std::make_unique<ProgressWindow>(*backend_, DialogCaption(productName_));
  window_->ShowStep(what, done, total);
  backend_->ProcessMessages();
}

void WindowDialogs::ShowOutcome(const UninstallReport& report) {
  HideWindow();
  boxes_.ShowOutcome(report);
}

void WindowDialogs::ShowError(const std::string& productName, const std::string& message) {
  HideWindow();
  boxes_.ShowError(productName, message);
}

void WindowDialogs::HideWindow() {
  if (window_) window_->SetVisible(false);
}

}  // namespace uninst
