// The uninstaller's small progress window: a label naming what is being removed and a bar of
// the steps done. It is not modal (the removal runs on the same thread and keeps it painted by
// processing messages between steps), and its close box does nothing: an uninstall stopped
// halfway would leave a product that is neither installed nor removed.
#pragma once

#include <cstddef>
#include <string>

#include "ui/Form.h"

namespace ui {
class Label;
class ProgressBar;
}  // namespace ui

namespace uninst {

class ProgressWindow : public ui::Form {
 public:
  static constexpr int kWidth = 400;
  static constexpr int kHeight = 82;

  ProgressWindow(ui::Backend& backend, const std::string& caption);

  // Shows the window on the first call; done of total steps, what the next one removes.
  void ShowStep(const std::string& what, size_t done, size_t total);

  static std::string StepText(const std::string& what);

 private:
  ui::Label* lblStep_;
  ui::ProgressBar* pbSteps_;
};

}  // namespace uninst
