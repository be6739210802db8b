// The owner of the run's message boxes: the window the run has set as its current top window,
// else (none set, or gone since) the active window. The box is read and closed from a timer of
// this thread, which the box's own message loop runs. Windows need a display: ctest runs this
// file on its own under Xvfb. Wine ignores MB_TOPMOST and MB_SETFOREGROUND, so the box kept in
// front without an owner is left for real Windows to show.
#include <gtest/gtest.h>

#include <windows.h>

#include "system/Platform.h"
#include "system/win32/Win32Platform.h"

namespace sys::win32 {
namespace {

struct SeenBox {
  bool found = false;
  HWND owner = nullptr;
};
SeenBox seen;

BOOL CALLBACK CloseMessageBox(HWND window, LPARAM) {
  wchar_t className[16] = L"";
  GetClassNameW(window, className, 16);
  if (std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  seen.found = true;
  seen.owner = GetWindow(window, GW_OWNER);
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return FALSE;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), &CloseMessageBox, 0);
  if (seen.found) KillTimer(nullptr, timer);
}

// Shows an OK box through the platform and reports what it looked like.
SeenBox ShowAndClose(Win32Platform& platform) {
  seen = SeenBox();
  UINT_PTR timer = SetTimer(nullptr, 0, 20, &OnTimer);
  EXPECT_EQ(platform.ShowMessageBox("text", "caption", kMbOk), kIdOk);
  KillTimer(nullptr, timer);
  return seen;
}

HWND MakeWindow() {
  return CreateWindowExW(0, L"STATIC", L"run window", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                         nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TEST(OwnerWindow, TheRunsWindowOwnsTheBox) {
  HWND window = MakeWindow();
  ASSERT_NE(window, nullptr);
  Win32Platform platform;
  platform.SetOwnerWindow(reinterpret_cast<uintptr_t>(window));
  SeenBox box = ShowAndClose(platform);
  EXPECT_TRUE(box.found);
  EXPECT_EQ(box.owner, window);
  DestroyWindow(window);
}

TEST(OwnerWindow, AWindowThatIsGoneIsNotUsed) {
  HWND window = MakeWindow();
  ASSERT_NE(window, nullptr);
  Win32Platform platform;
  platform.SetOwnerWindow(reinterpret_cast<uintptr_t>(window));
  DestroyWindow(window);
  SeenBox box = ShowAndClose(platform);
  EXPECT_TRUE(box.found);
  EXPECT_NE(box.owner, window);
}

}  // namespace
}  // namespace sys::win32
