#include "system/win32/ExclusiveHold.h"

#include <windows.h>

#include "system/win32/FileStream.h"
#include "system/win32/WideText.h"

namespace sys::win32 {
namespace {

bool IsSameFile(HANDLE handle, const std::string& path) {
  BY_HANDLE_FILE_INFORMATION held, named;
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &held)) {
    return false;
  }
  // Attributes only: opens whatever sharing the hold allows.
  ScopedHandle file(CreateFileW(WidePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && GetFileInformationByHandle(file.Get(), &named) &&
         held.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
         held.nFileIndexHigh == named.nFileIndexHigh && held.nFileIndexLow == named.nFileIndexLow;
}

}  // namespace

ExclusiveHold::ExclusiveHold(const std::string& path)
    : handle_(CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
  if (handle_) {
    state_ = State::Held;
  } else if (GetLastError() == ERROR_SHARING_VIOLATION) {
    state_ = State::HeldElsewhere;
  }
}

ExclusiveHold ExclusiveHold::Adopt(uint64_t inheritedHandle, const std::string& path) {
  const HANDLE inherited = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(inheritedHandle));
  if (inheritedHandle == 0 || !IsSameFile(inherited, path)) return ExclusiveHold(path);
  ExclusiveHold hold;
  *hold.handle_.Receive() = inherited;
  hold.state_ = State::Held;
  // Not handed on to anything this process starts.
  SetHandleInformation(hold.handle_.Get(), HANDLE_FLAG_INHERIT, 0);
  return hold;
}

std::unique_ptr<Stream> ExclusiveHold::OpenReader() const {
  if (!handle_) return nullptr;
  ScopedHandle duplicate;
  if (!DuplicateHandle(GetCurrentProcess(), handle_.Get(), GetCurrentProcess(), duplicate.Receive(),
                       GENERIC_READ, FALSE, 0)) {
    return nullptr;
  }
  auto stream = std::make_unique<FileStream>(std::move(duplicate));
  stream->Seek(0);
  return stream;
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
