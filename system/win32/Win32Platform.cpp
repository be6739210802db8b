#include "system/win32/Win32Platform.h"

#include <windows.h>
#include <objbase.h>

namespace sys::win32 {

Win32Platform::Win32Platform() {
  // S_FALSE (already initialised on this thread) still needs its matching CoUninitialize;
  // RPC_E_CHANGED_MODE (someone chose multithreaded) does not, and COM works there too.
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  comInitialised_ = SUCCEEDED(hr);
  previousErrorMode_ = SetErrorMode(SEM_FAILCRITICALERRORS);
  SetErrorMode(previousErrorMode_ | SEM_FAILCRITICALERRORS);
}

Win32Platform::~Win32Platform() {
  SetErrorMode(previousErrorMode_);
  if (comInitialised_) CoUninitialize();
}

void* Win32Platform::OwnerWindow() const {
  HWND window = reinterpret_cast<HWND>(ownerWindow_);
  return window && IsWindow(window) ? window : nullptr;
}

}  // namespace sys::win32
