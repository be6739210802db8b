#include "wizard/InstallForm.h"

#include <algorithm>
#include <limits>

#include "engine/FinishActions.h"
#include "package/uSystem.h"
#include "system/Platform.h"
#include "ui/Backend.h"
#include "ui/Gauge.h"
#include "ui/Timer.h"

namespace {

int32_t ToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, 0, std::numeric_limits<int32_t>::max()));
}

}  // namespace

TfrmInstall::TfrmInstall(ui::Backend& backend) : ui::Form(backend, kClassName) {
  SetCaption("无选项安装");
  SetBorderStyle(ui::BorderStyle::Dialog);
  SetClientSize(338, 61);
  // Centred like the other windows: the form has no place of its own worth keeping, and a
  // small window in the screen's corner is easily missed.
  SetPosition(ui::Position::ScreenCenter);
  Gauge1 = Add<ui::Gauge>("Gauge1");
  Gauge1->SetBounds(16, 22, 305, 24);
  Gauge1->SetForeColor(0xC08000);  // RGB(0, 128, 192)
  Gauge1->SetShowText(true);
  Timer = Add<ui::Timer>("Timer");
  Timer->SetInterval(10);
  Timer->SetEnabled(false);
  Timer->OnTimer = [this] { TimerTimer(); };
  OnCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };
}

void TfrmInstall::SetCompile(TCompile& compile) {
  compile_ = &compile;
  compile.OnCompile = [this](const std::string& fileName, const std::string& hint,
                             int64_t position, int64_t max) {
    CompileProgress(fileName, hint, position, max);
  };
  SetCaption("正在安装“" + compile.ItemName + "”，请稍候...");
  Timer->SetEnabled(true);
}

void TfrmInstall::TimerTimer() {
  Timer->SetEnabled(false);
  try {
    compile_->Install(compile_->platform().ExePath());
  } catch (...) {
    // Nothing claims success and nothing is opened; the window layer reports the error and
    // the person closes the window.
    SetTag(kCloseFailed);
    SetCaption("“" + compile_->ItemName + "”安装失败");
    throw;
  }
  engine::OpenChosenFiles(*compile_);
  SetTag(kCloseDone);
  Close();
}

void TfrmInstall::CompileProgress(const std::string&, const std::string&, int64_t Position,
                                  int64_t Max) {
  // Step messages (Position -1) leave the gauge alone, so it never gets a negative range.
  if (Position >= 0) {
    Gauge1->SetMaxValue(ToInt32(Max));
    Gauge1->SetProgress(ToInt32(Position));
  }
  GetBackend().ProcessMessages();
}

void TfrmInstall::FormCloseQuery(bool& canClose) {
  canClose = Tag() != kCloseWorking;
  if (Tag() == kCloseDone) engine::OfferRestart(*compile_);
}
