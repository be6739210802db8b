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

ExclusiveHold ExclusiveHold::Adopt(uint64_t inheritedHandle) {
  ExclusiveHold hold;
  if (inheritedHandle != 0) {
    *hold.handle_.Receive() = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(inheritedHandle));
    hold.state_ = State::Held;
    // Not handed on to anything this process starts.
    SetHandleInformation(hold.handle_.Get(), HANDLE_FLAG_INHERIT, 0);
  }
  return hold;
}

uint64_t ExclusiveHold::ShareWithChildren() {
  if (!handle_ || !SetHandleInformation(handle_.Get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) {
    return 0;
  }
  return reinterpret_cast<uintptr_t>(handle_.Get());
}

void ExclusiveHold::KeepFromChildren() {
  if (handle_) SetHandleInformation(handle_.Get(), HANDLE_FLAG_INHERIT, 0);
}

}  // namespace sys::win32
