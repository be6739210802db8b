// Profile (.ini) files of Win32Platform through GetPrivateProfileStringW.
#include <string>

#include <windows.h>

#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"

namespace sys::win32 {
namespace {

// An ini file can be large; the buffer doubles up to this many characters and no further.
constexpr DWORD kMaxChars = 1u << 24;

// The profile functions look a file name without a folder up in the Windows folder; callers
// mean the working folder, as everywhere else.
std::wstring ProfilePath(const std::string& file) {
  std::wstring path = WidePath(file);
  DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  full.resize(GetFullPathNameW(path.c_str(), n, full.data(), nullptr));
  return full;
}

// key == nullptr asks for the section's key names, NUL-separated. The API signals a buffer that
// was too small by filling it to size - 1 (one string) or size - 2 (a list).
std::wstring Query(const std::wstring& file, const std::wstring& section, const wchar_t* key,
                   const std::wstring& fallback) {
  DWORD truncatedAt = key ? 1 : 2;
  std::wstring buffer;
  for (DWORD size = 256;; size *= 2) {
    buffer.assign(size, L'\0');
    DWORD n = GetPrivateProfileStringW(section.c_str(), key, fallback.c_str(), buffer.data(),
                                       size, file.c_str());
    if (n != size - truncatedAt || size >= kMaxChars) {
      buffer.resize(n);
      return buffer;
    }
  }
}

}  // namespace

std::string Win32Platform::ProfileString(const std::string& file, const std::string& section,
                                         const std::string& key,
                                         const std::string& fallback) const {
  std::wstring wideKey = ToWide(key);
  return FromWide(Query(ProfilePath(file), ToWide(section), wideKey.c_str(), ToWide(fallback)));
}

std::vector<std::string> Win32Platform::ProfileKeys(const std::string& file,
                                                    const std::string& section) const {
  std::wstring list = Query(ProfilePath(file), ToWide(section), nullptr, L"");
  std::vector<std::string> keys;
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find(L'\0', start);
    if (end == std::wstring::npos) end = list.size();
    if (end > start) keys.push_back(FromWide(std::wstring_view(list).substr(start, end - start)));
    start = end + 1;
  }
  return keys;
}

}  // namespace sys::win32
