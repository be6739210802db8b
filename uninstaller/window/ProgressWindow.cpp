#include "uninstaller/window/ProgressWindow.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "ui/Label.h"
#include "ui/ProgressBar.h"

namespace uninst {

ProgressWindow::ProgressWindow(ui::Backend& backend, const std::string& caption)
    : ui::Form(backend, "TfrmUninstall") {
  SetCaption(caption);
  SetBorderStyle(ui::BorderStyle::Dialog);
  SetPosition(ui::Position::ScreenCenter);
  SetClientSize(kWidth, kHeight);
  OnCloseQuery = [](bool& canClose) { canClose = false; };
  // A fixed size: a deep path must not widen the window past the screen; the peer clips it.
  lblStep_ = Add<ui::Label>("lblStep");
  lblStep_->SetAutoSize(false);
  lblStep_->SetBounds(12, 14, kWidth - 24, 14);
  pbSteps_ = Add<ui::ProgressBar>("pbSteps");
  pbSteps_->SetBounds(12, 40, kWidth - 24, 18);
}

std::string ProgressWindow::StepText(const std::string& what) { return "正在删除：" + what; }

void ProgressWindow::ShowStep(const std::string& what, size_t done, size_t total) {
  constexpr size_t kLimit = std::numeric_limits<int32_t>::max();
  // The bar's range is 32-bit; a count beyond it is scaled down rather than wrapped.
  const size_t scale = total > kLimit ? total / kLimit + 1 : 1;
  pbSteps_->SetMax(static_cast<int32_t>(std::max<size_t>(total / scale, 1)));
  pbSteps_->SetPosition(static_cast<int32_t>(std::min(done, total) / scale));
  lblStep_->SetCaption(StepText(what));
  Show();
}

}  // namespace uninst
