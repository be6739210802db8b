// Dialogs and the session of Win32Platform: message boxes, the shutdown privilege, restart.
#include <string>

#include <windows.h>

#include "system/win32/ScopedWin.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"

namespace sys::win32 {

int Win32Platform::ShowMessageBox(const std::string& text, const std::string& caption,
                                  uint32_t style) {
  HWND owner = static_cast<HWND>(OwnerWindow());
  UINT flags = style;
  if (!owner) {
    // Before the run has a window of its own, a box could open behind other programs' windows
    // and wait there unseen.
    owner = GetActiveWindow();
    flags |= MB_SETFOREGROUND | MB_TOPMOST;
  }
  return MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), flags);
}

bool Win32Platform::EnableShutdownPrivilege() {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                        token.Receive())) {
    return false;
  }
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
    return false;
  }
  // AdjustTokenPrivileges succeeds also when it could not grant the privilege; only the error
  // code tells (ERROR_NOT_ALL_ASSIGNED).
  SetLastError(ERROR_SUCCESS);
  if (!AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr)) return false;
  return GetLastError() == ERROR_SUCCESS;
}

bool Win32Platform::RestartSystem(uint32_t flags) {
  // The reason goes to the system's shutdown log: a planned restart that an installation asked for.
  return ExitWindowsEx(flags, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION |
                                  SHTDN_REASON_FLAG_PLANNED) != FALSE;
}

}  // namespace sys::win32
