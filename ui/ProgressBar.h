// ProgressBar: a standard progress bar with 32-bit Min, Max and Position, kept by the rules of
// BarRange.h: Position stays within [Min, Max], and a maximum below the minimum (or a minimum
// above the maximum) throws ProgramError.
#pragma once

#include <cstdint>

#include "ui/BarRange.h"
#include "ui/Form.h"

namespace ui {

class ProgressBar : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::ProgressBar;
  ProgressBar(Form& owner, const std::string& name) : Control(&owner, name, kKind) {
    SetBounds(0, 0, 150, 17);
  }

  int32_t Min() const { return range_.Min(); }
  int32_t Max() const { return range_.Max(); }
  int32_t Position() const { return range_.Position(); }
  void SetMin(int32_t min) { NotifyIf(range_.SetMin(min, Name()), Change::Range); }
  void SetMax(int32_t max) { NotifyIf(range_.SetMax(max, Name()), Change::Range); }
  void SetPosition(int32_t position) { NotifyIf(range_.SetPosition(position), Change::Range); }
  const BarRange& Range() const { return range_; }

 private:
  BarRange range_;
};

}  // namespace ui
