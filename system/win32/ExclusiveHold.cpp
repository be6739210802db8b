#include "system/win32/ExclusiveHold.h"

#include <windows.h>

#include "system/win32/WideText.h"

namespace sys::win32 {

ExclusiveHold::ExclusiveHold(const std::string& path)
    : handle_(CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
  if (handle_) {
    state_ = State::Held;
  } else if (GetLastError() == ERROR_SHARING_VIOLATION) {
    state_ = State::HeldElsewhere;
  }
}

}  // namespace sys::win32
