#include "ui/Gauge.h"

#include <algorithm>
#include <stdexcept>

namespace ui {

void Gauge::SetMinValue(int32_t min) {
  if (min == min_) return;
  if (min > max_) throw std::invalid_argument(Name() + ": minimum above the maximum");
  min_ = min;
  progress_ = std::clamp(progress_, min_, max_);
  Notify(Change::Range);
}

void Gauge::SetMaxValue(int32_t max) {
  if (max == max_) return;
  if (max < min_) throw std::invalid_argument(Name() + ": maximum below the minimum");
  max_ = max;
  progress_ = std::clamp(progress_, min_, max_);
  Notify(Change::Range);
}

void Gauge::SetProgress(int32_t progress) {
  progress = std::clamp(progress, min_, max_);
  if (progress == progress_) return;
  progress_ = progress;
  Notify(Change::Range);
}

int Gauge::PercentDone() const {
  int64_t range = static_cast<int64_t>(max_) - min_;
  if (range <= 0) return 0;
  return static_cast<int>((static_cast<int64_t>(progress_) - min_) * 100 / range);
}

void Gauge::SetForeColor(uint32_t color) {
  if (color == foreColor_) return;
  foreColor_ = color;
  Notify(Change::Style);
}

void Gauge::SetShowText(bool show) {
  if (show == showText_) return;
  showText_ = show;
  Notify(Change::Style);
}

}  // namespace ui
