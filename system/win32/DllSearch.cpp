#include "system/win32/DllSearch.h"

#include <string>

#include <windows.h>

namespace sys::win32 {

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32, spelled here because older SDK headers lack it.
constexpr DWORD kSearchSystem32 = 0x00000800;

// Recorded under Wine (WINEDEBUG=+loaddll) through the demo's wizard install and its uninstall.
constexpr const wchar_t* kPreloaded[] = {
    // Themes, window frames, version checks, crypto and profiles, loaded by name by user32,
    // shell32, advapi32 and ole32.
    L"version.dll", L"uxtheme.dll", L"dwmapi.dll", L"cryptbase.dll", L"cryptsp.dll",
    L"rsaenh.dll", L"userenv.dll", L"profapi.dll", L"propsys.dll", L"ntmarta.dll",
    L"secur32.dll", L"sspicli.dll", L"apphelp.dll", L"msimg32.dll", L"wtsapi32.dll",
    L"setupapi.dll", L"netapi32.dll", L"winspool.drv", L"mpr.dll",
    // The shell: the taskbar list, pictures, links and shares.
    L"explorerframe.dll", L"windowscodecs.dll", L"linkinfo.dll", L"ntshrui.dll", L"cscapi.dll",
    // The background music: MCI and its drivers (wave, MIDI, MPEG), the ACM and MIDI mappers,
    // the audio endpoints.
    L"winmm.dll", L"mciwave.dll", L"mciseq.dll", L"mciqtz32.dll", L"msacm32.dll",
    L"msacm32.drv", L"midimap.dll", L"mmdevapi.dll",
    // The licence's rich edit: Uniscribe and line services.
    L"usp10.dll", L"msls31.dll"};

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

// From the system folder by full path; the DLL's own imports are searched from there first.
HMODULE LoadFromSystemFolder(const wchar_t* name) {
  std::wstring path = SystemPath(name);
  return path.empty() ? nullptr : LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
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
  PreloadSystemDlls();
}

void PreloadSystemDlls() {
  // A DLL this system does not have is simply not loaded.
  for (const wchar_t* name : kPreloaded) LoadFromSystemFolder(name);
}

std::span<const wchar_t* const> PreloadedDlls() { return kPreloaded; }

HINSTANCE__* LoadSystemLibrary(const wchar_t* name) {
  if (HasSearchFlags()) return LoadLibraryExW(name, nullptr, kSearchSystem32);
  return LoadFromSystemFolder(name);
}

}  // namespace sys::win32
