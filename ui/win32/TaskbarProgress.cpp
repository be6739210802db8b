#include "ui/win32/TaskbarProgress.h"

#include <algorithm>
#include <utility>

#include <windows.h>
#include <shobjidl.h>

namespace ui::win32 {

TaskbarProgress::TaskbarProgress() = default;
TaskbarProgress::~TaskbarProgress() = default;

void TaskbarProgress::Set(HWND window, uint64_t done, uint64_t total) {
  if (!window) return;
  if (!tried_) {
    tried_ = true;
    sys::win32::ComPtr<ITaskbarList3> taskbar;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList3, taskbar.ReceiveVoid())) &&
        SUCCEEDED(taskbar->HrInit())) {
      taskbar_ = std::move(taskbar);
    }
  }
  if (!taskbar_) return;
  if (total == 0) {
    taskbar_->SetProgressState(window, TBPF_NOPROGRESS);
  } else {
    taskbar_->SetProgressValue(window, done, total);
  }
}

void TaskbarProgress::SetFor(HWND controlWindow, int64_t min, int64_t position, int64_t max) {
  if (!controlWindow) return;
  Set(GetAncestor(controlWindow, GA_ROOT), static_cast<uint64_t>(std::max<int64_t>(0, position - min)),
      static_cast<uint64_t>(std::max<int64_t>(0, max - min)));
}

}  // namespace ui::win32
