#include "system/win32/WideText.h"

#include <climits>

#include <windows.h>

namespace sys::win32 {
namespace {

constexpr UINT kGbk = 936;

// Our strings come from packages and may be long; the conversions take int counts.
int Count(size_t size) { return size > INT_MAX ? INT_MAX : static_cast<int>(size); }

}  // namespace

std::wstring ToWide(std::string_view gbk) {
  if (gbk.empty()) return {};
  int n = MultiByteToWideChar(kGbk, 0, gbk.data(), Count(gbk.size()), nullptr, 0);
  std::wstring wide(n > 0 ? n : 0, L'\0');
  if (n > 0) MultiByteToWideChar(kGbk, 0, gbk.data(), Count(gbk.size()), wide.data(), n);
  return wide;
}

std::string FromWide(std::wstring_view wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(kGbk, 0, wide.data(), Count(wide.size()), nullptr, 0, nullptr,
                              nullptr);
  std::string gbk(n > 0 ? n : 0, '\0');
  if (n > 0) {
    WideCharToMultiByte(kGbk, 0, wide.data(), Count(wide.size()), gbk.data(), n, nullptr,
                        nullptr);
  }
  return gbk;
}

std::wstring WidePath(std::string_view gbkPath) {
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
