// Machine facts of Win32Platform: version, system folders, the program's own file and
// command line. Every folder comes back through PathFromWide: a user profile named outside GBK
// gives its short form or a clear error, never a path that names nothing.
#include <string>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "system/win32/ScopedWin.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"

namespace sys::win32 {
namespace {

std::string WithoutTrailingBackslash(std::wstring path) {
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  return PathFromWide(path);
}

}  // namespace

std::optional<VersionInfo> Win32Platform::Version() const {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExW(&info)) return std::nullopt;
  VersionInfo version;
  version.platformId = info.dwPlatformId;
  version.major = info.dwMajorVersion;
  version.minor = info.dwMinorVersion;
  return version;
}

std::string Win32Platform::WindowsDirectory() const {
  wchar_t buffer[MAX_PATH + 1] = L"";
  UINT n = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
  if (n > MAX_PATH) n = 0;
  return WithoutTrailingBackslash(std::wstring(buffer, n));
}

std::string Win32Platform::TempDirectory() const {
  wchar_t buffer[MAX_PATH + 2] = L"";
  DWORD n = GetTempPathW(MAX_PATH + 2, buffer);
  if (n > MAX_PATH + 1) n = 0;
  return PathFromWide(std::wstring(buffer, n));
}

std::string Win32Platform::SpecialFolder(int csidl) const {
  auto known = specialFolders_.find(csidl);
  if (known != specialFolders_.end()) return known->second;
  ScopedCoTaskMem<ITEMIDLIST> pidl;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, pidl.Receive())) || !pidl) return {};
  wchar_t buffer[MAX_PATH] = L"";
  if (!SHGetPathFromIDListW(pidl.Get(), buffer)) return {};
  return specialFolders_[csidl] = WithoutTrailingBackslash(buffer);
}

std::string Win32Platform::ExePath() const {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return PathFromWide(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

int Win32Platform::ParamCount() const {
  int count = 0;
  ScopedArgv argv(CommandLineToArgvW(GetCommandLineW(), &count));
  // The first entry is the program itself.
  return argv && count > 0 ? count - 1 : 0;
}

}  // namespace sys::win32
