#include "wizard/InitInsForm.h"

#include <algorithm>

#include "package/uSystem.h"
#include "system/Platform.h"
#include "ui/Label.h"
#include "ui/ProgressBar.h"
#include "ui/Timer.h"

TfrmInitIns::TfrmInitIns(ui::Backend& backend) : ui::Form(backend, kClassName) {
  SetCaption("初始化...");
  SetBorderStyle(ui::BorderStyle::Dialog);
  SetClientSize(383, 108);
  SetPosition(ui::Position::ScreenCenter);
  Label1 = Add<ui::Label>("Label1");
  Label1->SetBounds(15, 25, Label1->Width(), Label1->Height());
  Label1->SetTransparent(true);
  Label1->SetCaption("正在解压安装文件,请稍候...");
  pRelease = Add<ui::ProgressBar>("pRelease");
  pRelease->SetBounds(15, 51, 357, 19);
  Timer1 = Add<ui::Timer>("Timer1");
  Timer1->SetInterval(1000);
  Timer1->SetEnabled(true);
  Timer1->OnTimer = [this] { Timer1Timer(); };
  OnCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };
}

void TfrmInitIns::Timer1Timer() {
  Timer1->SetEnabled(false);
  try {
    sys::Platform& platform = compile_->platform();
    std::unique_ptr<sys::Stream> self = compile_->OpenPackageFile(platform.ExePath());
    compile_->ExtractResources(*self,
                               [this](int number, int count) { ReleaseProgress(number, count); });
  } catch (...) {
    failure_ = std::current_exception();
    SetTag(1);
    SetModalResult(ui::kMrCancel);
    return;
  }
  SetTag(1);
  SetModalResult(ui::kMrOk);
}

void TfrmInitIns::FormCloseQuery(bool& canClose) { canClose = Tag() != 0; }

void TfrmInitIns::ReleaseProgress(int number, int count) {
  pRelease->SetMax(std::max(0, count));
  pRelease->SetPosition(number);
}
