// Gauge: a horizontal bar that shows a fraction and, with ShowText, its percentage in the
// middle ("37%"). PercentDone() is the whole percentage, rounded down, 0 for an empty range.
// The range rules are those of ProgressBar: Progress stays within [MinValue, MaxValue], and a
// maximum below the minimum throws std::invalid_argument.
#pragma once

#include <cstdint>

#include "ui/Form.h"

namespace ui {

class Gauge : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::Gauge;
  Gauge(Form& owner, const std::string& name) : Control(&owner, name, kKind) {
    SetColor(kClWhite);
    SetBounds(0, 0, 100, 100);
  }

  int32_t MinValue() const { return min_; }
  int32_t MaxValue() const { return max_; }
  int32_t Progress() const { return progress_; }
  void SetMinValue(int32_t min);
  void SetMaxValue(int32_t max);
  void SetProgress(int32_t progress);
  int PercentDone() const;

  uint32_t ForeColor() const { return foreColor_; }
  void SetForeColor(uint32_t color);
  bool ShowText() const { return showText_; }
  void SetShowText(bool show);

 private:
  int32_t min_ = 0;
  int32_t max_ = 100;
  int32_t progress_ = 0;
  uint32_t foreColor_ = kClBlack;
  bool showText_ = true;
};

}  // namespace ui
