#include "wizard/BackInsForm.h"

#include "package/uSystem.h"
#include "package/uTypes.h"
#include "system/Platform.h"
#include "ui/Canvas.h"
#include "ui/Picture.h"
#include "ui/Timer.h"
#include "wizard/SetupForm.h"

TfrmBackIns::TfrmBackIns(ui::Backend& backend) : ui::Form(backend, kClassName) {
  SetCaption("背景窗口");
  SetBorderStyle(ui::BorderStyle::Sizeable);
  SetPosition(ui::Position::WorkArea);
  SetColor(ui::kClBtnFace);
  Timer = Add<ui::Timer>("Timer");
  Timer->SetInterval(100);
  Timer->SetEnabled(true);
  Timer->OnTimer = [this] { TimerTimer(); };
  OnShow = [this] { FormShow(); };
  OnPaint = [this](ui::Canvas& canvas) { FormPaint(canvas); };
}

TfrmBackIns::~TfrmBackIns() = default;

void TfrmBackIns::SetCompile(TCompile& compile) {
  compile_ = &compile;
  SetCaption("“" + compile.ItemName + "”安装向导");
}

void TfrmBackIns::FormShow() {
  if (!compile_) return;
  std::vector<TCompileData*> items;
  compile_->GetGroupItems(package::kGroupBasic, items);
  for (const TCompileData* item : items) {
    // Exact caption, as the background setting has always been looked up.
    if (item->Caption != package::kCaptionBackPicture) continue;
    if (!compile_->platform().FileExists(item->Value)) continue;
    auto picture = std::make_unique<ui::Picture>();
    if (picture->LoadFromFile(item->Value)) picture_ = std::move(picture);
  }
  if (picture_) Invalidate();
}

void TfrmBackIns::FormPaint(ui::Canvas& canvas) {
  if (picture_) canvas.DrawPictureStretched(*picture_);
}

void TfrmBackIns::TimerTimer() {
  Timer->SetEnabled(false);
  if (compile_) {
    TfrmParent frame(GetBackend());
    frame.SetBorderStyle(ui::BorderStyle::Dialog);
    frame.SetPosition(ui::Position::OwnerFormCenter);
    frame.SetOwnerForm(this);
    frame.SetCompile(*compile_);
    frame.ShowModal();
  }
  Close();
}
