// The timers of the Windows backend: one hidden message-only window whose WM_TIMER ids map back
// to their Timer controls. A timer's handler runs inside the system's frames, so its exception
// is handed to onError (the backend keeps it for the message loop to rethrow).
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <map>

#include "ui/win32/ScopedGdi.h"

namespace ui {

class Timer;

namespace win32 {

class TimerWindow {
 public:
  explicit TimerWindow(std::function<void(std::exception_ptr)> onError);
  TimerWindow(const TimerWindow&) = delete;
  TimerWindow& operator=(const TimerWindow&) = delete;

  // An id of the timer's own, stopped until Start.
  uintptr_t Add(Timer& timer);
  void Remove(uintptr_t id);
  // Starts the count again on an id already running, as enabling a timer does.
  void Start(uintptr_t id, int intervalMs);
  void Stop(uintptr_t id);
  // WM_TIMER of id (the window's procedure).
  void Fire(uintptr_t id);

 private:

  std::function<void(std::exception_ptr)> onError_;
  std::map<uintptr_t, Timer*> timers_;
  uintptr_t nextId_ = 1;
  ScopedWindow window_;
};

}  // namespace win32
}  // namespace ui
