#include "system/win32/Win32Error.h"

#include <cstdio>

#include <windows.h>

#include "system/Error.h"

namespace sys::win32 {

void Raise(const std::string& message, uint32_t code) { throw Error(message, code); }

void RaiseLastError(const char* messageTemplate, const std::string& argument) {
  DWORD code = GetLastError();
  Raise(Format(messageTemplate, argument), code);
}

void RaiseLastError(const char* message) {
  DWORD code = GetLastError();
  Raise(message, code);
}

void RaiseComError(long hresult) {
  char text[32];
  std::snprintf(text, sizeof text, "OLE error %08lX", static_cast<unsigned long>(hresult));
  Raise(text, static_cast<uint32_t>(hresult));
}

}  // namespace sys::win32
