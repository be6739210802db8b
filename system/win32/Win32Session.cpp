// Dialogs and the session of Win32Platform: message boxes, the shutdown privilege, restart.
#include <string>

#include <windows.h>

#include "system/win32/ScopedWin.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"

namespace sys::win32 {

int Win32Platform::ShowMessageBox(const std::string& text, const std::string& caption,
                                  uint32_t style) {
  return MessageBoxW(GetActiveWindow(), ToWide(text).c_str(), ToWide(caption).c_str(), style);
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

bool Win32Platform::RestartSystem(uint32_t flags) { return ExitWindowsEx(flags, 0) != FALSE; }

}  // namespace sys::win32
