// Gauge: a horizontal bar that shows a fraction and, with ShowText, its percentage in the
// middle ("37%"). PercentDone() is the whole percentage, rounded down, 0 for an empty range.
// The range rules are those of ProgressBar (BarRange.h).
#pragma once

#include <cstdint>

#include "ui/BarRange.h"
#include "ui/Form.h"

namespace ui {

class Gauge : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::Gauge;
  Gauge(Form& owner, const std::string& name) : Control(&owner, name, kKind) {
    SetColor(kClWhite);
    SetBounds(0, 0, 100, 100);
  }

  int32_t MinValue() const { return range_.Min(); }
  int32_t MaxValue() const { return range_.Max(); }
  int32_t Progress() const { return range_.Position(); }
  void SetMinValue(int32_t min) { NotifyIf(range_.SetMin(min, Name()), Change::Range); }
  void SetMaxValue(int32_t max) { NotifyIf(range_.SetMax(max, Name()), Change::Range); }
  void SetProgress(int32_t progress) { NotifyIf(range_.SetPosition(progress), Change::Range); }
  int PercentDone() const { return range_.PercentDone(); }
  const BarRange& Range() const { return range_; }

  uint32_t ForeColor() const { return foreColor_; }
  void SetForeColor(uint32_t color) { Assign(foreColor_, color, Change::Style); }
  bool ShowText() const { return showText_; }
  void SetShowText(bool show) { Assign(showText_, show, Change::Style); }

 private:
  BarRange range_;
  uint32_t foreColor_ = kClBlack;
  bool showText_ = true;
};

}  // namespace ui
