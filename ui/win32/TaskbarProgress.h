// The progress a window's taskbar button shows, through ITaskbarList3 where the system has it
// (asked for once; without it nothing shows and nothing fails). Needs COM initialised on the
// thread, which the backend does.
#pragma once

#include <cstdint>

#include "system/win32/ScopedWin.h"

struct HWND__;
struct ITaskbarList3;

namespace ui::win32 {

class TaskbarProgress {
 public:
  TaskbarProgress();
  ~TaskbarProgress();
  TaskbarProgress(const TaskbarProgress&) = delete;
  TaskbarProgress& operator=(const TaskbarProgress&) = delete;

  // total 0 removes the progress from the button.
  void Set(HWND__* window, uint64_t done, uint64_t total);
  // A bar's progress from min to max, on the button of the control window's top-level window.
  void SetFor(HWND__* controlWindow, int64_t min, int64_t position, int64_t max);

 private:
  bool tried_ = false;
  sys::win32::ComPtr<ITaskbarList3> taskbar_;
};

}  // namespace ui::win32
