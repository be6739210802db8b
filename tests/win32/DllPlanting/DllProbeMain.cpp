// dll-probe: run from a folder holding planted DLLs, as a setup program runs from a downloads
// folder. dll-probe.exe harden|preload RESULT_FILE
//  harden:  HardenDllSearch, as the programs start (the search flags where the system has them);
//  preload: only the fallback of systems without them (the list loaded from the system folder).
// Then what the programs do: the rich edit through LoadSystemLibrary, a wave device opened
// through MCI (which loads its driver by name), and every DLL of the list by its bare name, as
// system code loads them (after the fallback, only those the preload found: a DLL the system
// lacks is no more than a name there). Writes one line per DLL to RESULT_FILE (UTF-8):
// "<name>\t<path of the module the process got, or ->\t<start when it was in the process
// before main, else later>".
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

#include "system/win32/DllSearch.h"

namespace {

std::string Utf8(const std::wstring& text) {
  char utf8[MAX_PATH * 4];
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8,
                              sizeof utf8, nullptr, nullptr);
  return std::string(utf8, n > 0 ? n : 0);
}

std::wstring ModulePath(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
  return std::wstring(path, n);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc != 3) return 2;
  const std::wstring mode = argv[1];
  const auto names = sys::win32::PreloadedDlls();
  std::vector<bool> atStart;
  for (const wchar_t* name : names) atStart.push_back(GetModuleHandleW(name) != nullptr);
  if (mode == L"harden") {
    sys::win32::HardenDllSearch();
  } else {
    SetDllDirectoryW(L"");
    sys::win32::PreloadSystemDlls();
  }
  sys::win32::LoadSystemLibrary(L"msftedit.dll");
  sys::win32::LoadSystemLibrary(L"riched20.dll");
  // winmm by hand, not imported: an import would be looked up beside the program at start.
  using SendString = DWORD(WINAPI*)(const wchar_t*, wchar_t*, UINT, HANDLE);
  if (HMODULE winmm = sys::win32::LoadSystemLibrary(L"winmm.dll")) {
    auto send = reinterpret_cast<SendString>(
        reinterpret_cast<void*>(GetProcAddress(winmm, "mciSendStringW")));
    if (send && send(L"open new type waveaudio alias probe", nullptr, 0, nullptr) == 0) {
      send(L"close probe", nullptr, 0, nullptr);
    }
  }
  FILE* out = _wfopen(argv[2], L"wb");
  if (!out) return 3;
  for (size_t i = 0; i < names.size(); ++i) {
    const wchar_t* name = names[i];
    HMODULE module = mode == L"harden" || GetModuleHandleW(name) ? LoadLibraryW(name) : nullptr;
    std::fprintf(out, "%s\t%s\t%s\n", Utf8(name).c_str(),
                 module ? Utf8(ModulePath(module)).c_str() : "-", atStart[i] ? "start" : "later");
  }
  std::fclose(out);
  return 0;
}
