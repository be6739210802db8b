#include "system/win32/ScopedWin.h"

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

namespace sys::win32 {

void HandleTraits::Close(Value h) { CloseHandle(h); }
void FindTraits::Close(Value h) { FindClose(h); }
void KeyTraits::Close(Value k) { RegCloseKey(k); }
void FreeCoTaskMem(void* p) { CoTaskMemFree(p); }
void LocalMemTraits::Close(Value p) { LocalFree(p); }
void BstrTraits::Close(Value s) { SysFreeString(s); }

ComApartment::ComApartment()
    : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ComApartment::~ComApartment() {
  if (initialised_) CoUninitialize();
}

}  // namespace sys::win32
