// ProgressBar: a standard progress bar with 32-bit Min, Max and Position. Position is kept
// within [Min, Max]. A maximum below the minimum (or a minimum above the maximum) is a
// programming error and throws std::invalid_argument on every backend, so it is caught by the
// headless tests rather than drawn wrongly.
#pragma once

#include <cstdint>

#include "ui/Form.h"

namespace ui {

class ProgressBar : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::ProgressBar;
  ProgressBar(Form& owner, const std::string& name) : Control(&owner, name, kKind) {
    SetBounds(0, 0, 150, 17);
  }

  int32_t Min() const { return min_; }
  int32_t Max() const { return max_; }
  int32_t Position() const { return position_; }
  void SetMin(int32_t min);
  void SetMax(int32_t max);
  void SetPosition(int32_t position);

 private:
  int32_t min_ = 0;
  int32_t max_ = 100;
  int32_t position_ = 0;
};

}  // namespace ui
