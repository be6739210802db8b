// The loading window: a second after it opens it unpacks the page resources from the program's
// own file into the temporary folder, showing one step of its bar per file entry, then closes
// itself with OK. The person cannot close it while it works.
//
// A damaged package does not leave the window standing: the error is kept, the window ends
// with kMrCancel, and the opener rethrows it (Failure()), so the run stops with one report.
#pragma once

#include <exception>

#include "ui/Form.h"

class TCompile;

namespace ui {
class Label;
class ProgressBar;
class Timer;
}  // namespace ui

class TfrmInitIns : public ui::Form {
 public:
  static constexpr const char* kClassName = "TfrmInitIns";
  explicit TfrmInitIns(ui::Backend& backend);

  void SetCompile(TCompile& compile) { compile_ = &compile; }

  ui::Label* Label1;
  ui::ProgressBar* pRelease;
  ui::Timer* Timer1;

  void Timer1Timer();
  void FormCloseQuery(bool& canClose);
  void ReleaseProgress(int number, int count);
  // The error that ended the extraction; null when it ran to its end or has not run.
  std::exception_ptr Failure() const { return failure_; }

 private:
  TCompile* compile_ = nullptr;
  std::exception_ptr failure_;
};
