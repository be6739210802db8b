// The no-options install window: installs at once, without wizard pages, showing only a gauge;
// then opens the chosen files and closes itself, asking about the restart when the project
// asks for one. The person cannot close it while it installs.
//
// Close state (the form's Tag): kCloseWorking until the install has ended, kCloseDone after a
// complete install, kCloseFailed after a failed one: the caption says so, nothing is opened,
// no restart is offered, and the window waits for the person to close it.
#pragma once

#include <cstdint>
#include <string>

#include "ui/Form.h"

class TCompile;

namespace ui {
class Gauge;
class Timer;
}  // namespace ui

class TfrmInstall : public ui::Form {
 public:
  static constexpr const char* kClassName = "TfrmInstall";
  static constexpr int kCloseWorking = 0;
  static constexpr int kCloseDone = 1;
  static constexpr int kCloseFailed = 2;

  explicit TfrmInstall(ui::Backend& backend);

  // Arms the install: becomes the OnCompile receiver, names the product in the caption and
  // enables Timer.
  void SetCompile(TCompile& compile);

  ui::Gauge* Gauge1;
  ui::Timer* Timer;

  void TimerTimer();
  void CompileProgress(const std::string& FileName, const std::string& HintMsg, int64_t Position,
                       int64_t Max);
  void FormCloseQuery(bool& canClose);

 private:
  TCompile* compile_ = nullptr;
};
