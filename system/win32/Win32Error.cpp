#include "system/win32/Win32Error.h"

#include <string>

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
  // Eight upper-case hex digits, as "%08lX" would print them (printf is not linked for this).
  std::string text = "OLE error 00000000";
  auto code = static_cast<uint32_t>(hresult);
  for (size_t digit = text.size(); code != 0; code >>= 4)
    text[--digit] = "0123456789ABCDEF"[code & 15];
  Raise(text, static_cast<uint32_t>(hresult));
}

}  // namespace sys::win32
