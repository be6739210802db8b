// Timer: fires OnTimer every Interval() milliseconds while enabled (inside ui::Dispatch). A new
// timer is enabled with 1000 ms and starts counting when it is created, as the forms expect of
// a timer "enabled at creation". Changing the interval or enabling it again restarts the count.
// An interval of 0 never fires. Non-visual.
#pragma once

#include "ui/Form.h"

namespace ui {

class Timer : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::Timer;
  Timer(Form& owner, const std::string& name) : Control(&owner, name, kKind) {}

  int Interval() const { return interval_; }
  void SetInterval(int ms);
  // Enabled()/SetEnabled() are the control's own; enabling again restarts the count.
  // The clock reached the deadline: OnTimer inside ui::Dispatch.
  void Fire();

  std::function<void()> OnTimer;

 private:
  int interval_ = 1000;
};

}  // namespace ui
