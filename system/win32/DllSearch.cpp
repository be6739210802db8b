#include "system/win32/DllSearch.h"

#include <string>

#include <windows.h>

namespace sys::win32 {

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32, spelled here because older SDK headers lack it.
constexpr DWORD kSearchSystem32 = 0x00000800;

std::wstring SystemPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(folder, length) + L"\\" + name;
}

bool HasSearchFlags() {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  return kernel && GetProcAddress(kernel, "AddDllDirectory") != nullptr;
}

}  // namespace

void HardenDllSearch() {
  SetDllDirectoryW(L"");
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  using SetDefaultDirs = BOOL(WINAPI*)(DWORD);
  auto setDefault = kernel ? reinterpret_cast<SetDefaultDirs>(
                                 reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                           : nullptr;
  if (setDefault && setDefault(kSearchSystem32)) return;
  // Without it: bring in from the system folder what system DLLs would load by name.
  for (const wchar_t* name :
       {L"version.dll", L"uxtheme.dll", L"dwmapi.dll", L"cryptbase.dll", L"cryptsp.dll",
        L"rsaenh.dll", L"userenv.dll", L"profapi.dll", L"propsys.dll", L"ntmarta.dll",
        L"secur32.dll", L"sspicli.dll", L"apphelp.dll", L"winmm.dll", L"msimg32.dll",
        L"wtsapi32.dll", L"setupapi.dll", L"netapi32.dll", L"winspool.drv", L"mpr.dll"}) {
    std::wstring path = SystemPath(name);
    if (!path.empty()) LoadLibraryW(path.c_str());
  }
}

HINSTANCE__* LoadSystemLibrary(const wchar_t* name) {
  if (HasSearchFlags()) return LoadLibraryExW(name, nullptr, kSearchSystem32);
  std::wstring path = SystemPath(name);
  return path.empty() ? nullptr : LoadLibraryW(path.c_str());
}

}  // namespace sys::win32
