// BarRange: the 32-bit minimum, maximum and position shared by ProgressBar and Gauge. The
// position stays within [min, max] (a new bound pulls it in); a maximum below the minimum, or
// a minimum above the maximum, is a programming error and throws ui::ProgramError naming
// the control, on every backend, so the headless tests catch it rather than a bar drawn wrong.
#pragma once

#include <cstdint>
#include <string>

namespace ui {

class BarRange {
 public:
  int32_t Min() const { return min_; }
  int32_t Max() const { return max_; }
  int32_t Position() const { return position_; }
  // Each returns whether anything changed; owner names the control in the error.
  bool SetMin(int32_t min, const std::string& owner);
  bool SetMax(int32_t max, const std::string& owner);
  bool SetPosition(int32_t position);
  // The whole percentage done, rounded down; 0 for an empty range.
  int PercentDone() const;

 private:
  int32_t min_ = 0;
  int32_t max_ = 100;
  int32_t position_ = 0;
};

}  // namespace ui
