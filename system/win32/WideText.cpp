#include "system/win32/WideText.h"

#include <climits>

#include <windows.h>

#include "system/Error.h"
#include "system/win32/Win32Error.h"

namespace sys::win32 {
namespace {

constexpr UINT kGbk = 936;
// Below this many characters a full path is within MAX_PATH with its terminating NUL.
constexpr size_t kMaxPlainPath = MAX_PATH - 1;

// Our strings come from packages and may be long; the conversions take int counts.
int Count(size_t size) { return size > INT_MAX ? INT_MAX : static_cast<int>(size); }

std::string Convert(std::wstring_view wide, DWORD flags, BOOL* usedDefault) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(kGbk, flags, wide.data(), Count(wide.size()), nullptr, 0, nullptr,
                              usedDefault);
  std::string gbk(n > 0 ? n : 0, '\0');
  if (n > 0) {
    WideCharToMultiByte(kGbk, flags, wide.data(), Count(wide.size()), gbk.data(), n, nullptr,
                        usedDefault);
  }
  return gbk;
}

std::wstring Normalised(std::string_view gbkPath) {
  std::wstring in = ToWide(gbkPath);
  std::wstring out;
  out.reserve(in.size());
  for (wchar_t c : in) {
    if (c == L'/') c = L'\\';
    // Keep the "\\" that starts a UNC name ("\\server\share").
    if (c == L'\\' && out.size() > 1 && out.back() == L'\\') continue;
    out.push_back(c);
  }
  return out;
}

}  // namespace

std::wstring ToWide(std::string_view gbk) {
  if (gbk.empty()) return {};
  int n = MultiByteToWideChar(kGbk, 0, gbk.data(), Count(gbk.size()), nullptr, 0);
  std::wstring wide(n > 0 ? n : 0, L'\0');
  if (n > 0) MultiByteToWideChar(kGbk, 0, gbk.data(), Count(gbk.size()), wide.data(), n);
  return wide;
}

std::string FromWide(std::wstring_view wide) { return Convert(wide, 0, nullptr); }

std::optional<std::wstring> WideFromUtf8(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), Count(utf8.size()),
                              nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), Count(utf8.size()), wide.data(),
                      n);
  return wide;
}

std::string Utf8FromWide(std::wstring_view wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), Count(wide.size()), nullptr, 0, nullptr,
                              nullptr);
  std::string utf8(n > 0 ? n : 0, '\0');
  if (n > 0) {
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), Count(wide.size()), utf8.data(), n, nullptr,
                        nullptr);
  }
  return utf8;
}

std::optional<std::string> FromWideExact(std::wstring_view wide) {
  BOOL usedDefault = FALSE;
  // Without best fit, "ö" would quietly become "o" and name another file.
  std::string gbk = Convert(wide, WC_NO_BEST_FIT_CHARS, &usedDefault);
  // The round trip catches what a converter reports nothing for.
  if (usedDefault || ToWide(gbk) != wide) return std::nullopt;
  return gbk;
}

std::string PathFromWide(const std::wstring& widePath) {
  if (auto exact = FromWideExact(widePath)) return *exact;
  DWORD n = GetShortPathNameW(widePath.c_str(), nullptr, 0);
  if (n > 0) {
    std::wstring shortPath(n, L'\0');
    n = GetShortPathNameW(widePath.c_str(), shortPath.data(), n);
    shortPath.resize(n < shortPath.size() ? n : 0);
    if (auto exact = FromWideExact(shortPath); exact && !shortPath.empty()) return *exact;
  }
  Raise(Format(kPathOutsideGbk, FromWide(widePath)), ERROR_NO_UNICODE_TRANSLATION);
}

std::wstring WidePath(std::string_view gbkPath) { return Normalised(gbkPath); }

std::wstring FileSystemPath(std::string_view gbkPath) {
  std::wstring path = Normalised(gbkPath);
  if (path.size() < kMaxPlainPath || path.starts_with(L"\\\\?\\")) return path;
  DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  full.resize(n < full.size() ? n : 0);
  if (full.size() < kMaxPlainPath) return full;
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
  return path;
}

std::wstring WideSubkey(std::string_view gbkSubkey) {
  std::wstring in = ToWide(gbkSubkey);
  std::wstring out;
  out.reserve(in.size());
  for (wchar_t c : in) {
    if (c == L'\\' && (out.empty() || out.back() == L'\\')) continue;
    out.push_back(c);
  }
  if (!out.empty() && out.back() == L'\\') out.pop_back();
  return out;
}

}  // namespace sys::win32
