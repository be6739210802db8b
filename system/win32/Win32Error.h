// Raising sys::Error from a failed Win32 call: the shared message text (system/Error.h) with the
// Windows error code in osCode(), so callers and tests see the same words as on the sandbox.
#pragma once

#include <cstdint>
#include <string>

namespace sys::win32 {

[[noreturn]] void Raise(const std::string& message, uint32_t code);
// Format(messageTemplate, argument) with the code of GetLastError().
[[noreturn]] void RaiseLastError(const char* messageTemplate, const std::string& argument);
[[noreturn]] void RaiseLastError(const char* message);
// A failed COM call: "OLE error XXXXXXXX" with the HRESULT, as the automation layer words it.
[[noreturn]] void RaiseComError(long hresult);

}  // namespace sys::win32
