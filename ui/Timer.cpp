#include "ui/Timer.h"

#include <algorithm>

#include "ui/Backend.h"

namespace ui {

void Timer::SetInterval(int ms) {
  ms = std::max(0, ms);
  if (ms == interval_) return;
  interval_ = ms;
  Notify(Change::Timer);
}

void Timer::Fire() {
  Dispatch([this] {
    if (OnTimer) OnTimer();
  });
}

}  // namespace ui
