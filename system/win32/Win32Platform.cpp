#include "system/win32/Win32Platform.h"

#include <windows.h>
#include <objbase.h>

namespace sys::win32 {

Win32Platform::Win32Platform() {
  // S_FALSE (already initialised on this thread) still needs its matching CoUninitialize;
  // RPC_E_CHANGED_MODE (someone chose multithreaded) does not, and COM works there too.
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  comInitialised_ = SUCCEEDED(hr);
}

Win32Platform::~Win32Platform() {
  if (comInitialised_) CoUninitialize();
}

}  // namespace sys::win32
