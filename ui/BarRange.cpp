#include "ui/BarRange.h"

#include <algorithm>

#include "ui/ProgramError.h"

namespace ui {

bool BarRange::SetMin(int32_t min, const std::string& owner) {
  if (min == min_) return false;
  if (min > max_) throw ProgramError(owner + ": minimum above the maximum");
  min_ = min;
  position_ = std::clamp(position_, min_, max_);
  return true;
}

bool BarRange::SetMax(int32_t max, const std::string& owner) {
  if (max == max_) return false;
  if (max < min_) throw ProgramError(owner + ": maximum below the minimum");
  max_ = max;
  position_ = std::clamp(position_, min_, max_);
  return true;
}

bool BarRange::SetPosition(int32_t position) {
  position = std::clamp(position, min_, max_);
  if (position == position_) return false;
  position_ = position;
  return true;
}

int BarRange::PercentDone() const {
  int64_t range = static_cast<int64_t>(max_) - min_;
  if (range <= 0) return 0;
  return static_cast<int>((static_cast<int64_t>(position_) - min_) * 100 / range);
}

}  // namespace ui
