// The progress page: runs the install when the frame makes it current and shows each report
// of the run (the current file, a bar and its percentage, and the detail log when the package
// asks for it). The install runs on the GUI thread; every report lets the window repaint.
//
// When the install fails, ShowFailure turns the page into a report of that failure: the
// header says the install did not complete and the reason is shown and logged.
#pragma once

#include <cstdint>
#include <string>

#include "wizard/PageForm.h"

namespace ui {
class Image;
class Label;
class Memo;
class ProgressBar;
}  // namespace ui

namespace wizard {

// "37%" for a file report; "100%" only when the last entry has been reached, so a run that
// rounds up to 100 never claims to be complete early.
std::string ProgressPercentText(int64_t position, int64_t max);

}  // namespace wizard

class TfrmBeginIns : public wizard::PageForm {
 public:
  static constexpr const char* kClassName = "TfrmBeginIns";
  explicit TfrmBeginIns(ui::Backend& backend);
  FrameRole Role() const override { return FrameRole::Progress; }

  ui::Image* Image8;
  ui::Label* Label28;
  ui::Label* Label29;
  ui::Label* Label30;
  ui::Label* Label31;
  ui::ProgressBar* ProgressBar1;
  ui::Memo* mInstall;

  // Becomes the project's OnCompile receiver, then runs Install on the program's own file.
  // Exceptions of the run pass to the caller.
  void RunInstall();
  void CompileProgress(const std::string& FileName, const std::string& HintMsg, int64_t Position,
                       int64_t Max);
  void ShowFailure(const std::string& reason);

 protected:
  void LoadSettings() override;
};
