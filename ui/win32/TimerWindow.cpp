#include "ui/win32/TimerWindow.h"

#include <utility>

#include <windows.h>

#include "ui/Timer.h"

namespace ui::win32 {

namespace {

constexpr wchar_t kClassName[] = L"SetupTimers";

LRESULT CALLBACK TimerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* timers = reinterpret_cast<TimerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message != WM_TIMER || !timers) return DefWindowProcW(window, message, wParam, lParam);
  timers->Fire(static_cast<uintptr_t>(wParam));
  return 0;
}

}  // namespace

TimerWindow::TimerWindow(std::function<void(std::exception_ptr)> onError)
    : onError_(std::move(onError)) {
  WNDCLASSEXW timerClass{};
  timerClass.cbSize = sizeof(timerClass);
  timerClass.lpfnWndProc = TimerProc;
  timerClass.hInstance = GetModuleHandleW(nullptr);
  timerClass.lpszClassName = kClassName;
  RegisterClassExW(&timerClass);
  window_ = ScopedWindow(CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         GetModuleHandleW(nullptr), nullptr));
  if (window_) SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

uintptr_t TimerWindow::Add(Timer& timer) {
  uintptr_t id = nextId_++;
  timers_[id] = &timer;
  return id;
}

void TimerWindow::Remove(uintptr_t id) {
  Stop(id);
  timers_.erase(id);
}

void TimerWindow::Start(uintptr_t id, int intervalMs) {
  SetTimer(window_.Get(), id, static_cast<UINT>(intervalMs), nullptr);
}

void TimerWindow::Stop(uintptr_t id) { KillTimer(window_.Get(), id); }

void TimerWindow::Fire(uintptr_t id) {
  auto found = timers_.find(id);
  if (found == timers_.end()) return;
  try {
    found->second->Fire();
  } catch (...) {
    onError_(std::current_exception());
  }
}

}  // namespace ui::win32
