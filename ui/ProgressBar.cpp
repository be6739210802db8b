#include "ui/ProgressBar.h"

#include <algorithm>
#include <stdexcept>

namespace ui {

void ProgressBar::SetMin(int32_t min) {
  if (min == min_) return;
  if (min > max_) throw std::invalid_argument(Name() + ": minimum above the maximum");
  min_ = min;
  position_ = std::clamp(position_, min_, max_);
  Notify(Change::Range);
}

void ProgressBar::SetMax(int32_t max) {
  if (max == max_) return;
  if (max < min_) throw std::invalid_argument(Name() + ": maximum below the minimum");
  max_ = max;
  position_ = std::clamp(position_, min_, max_);
  Notify(Change::Range);
}

void ProgressBar::SetPosition(int32_t position) {
  position = std::clamp(position, min_, max_);
  if (position == position_) return;
  position_ = position;
  Notify(Change::Range);
}

}  // namespace ui
