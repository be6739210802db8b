#include "ui/Timer.h"

#include <algorithm>

#include "ui/Backend.h"

namespace ui {

void Timer::SetInterval(int ms) {
  Assign(interval_, std::max(0, ms), Change::Timer);
}

void Timer::Fire() {
  Dispatch([this] {
    if (OnTimer) OnTimer();
  });
}

}  // namespace ui
