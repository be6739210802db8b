// The one crossing between our GBK text and the UTF-16 of the W functions. Code page 936 is
// named explicitly, never CP_ACP, so GBK paths and captions come out right whatever the
// system's ANSI code page is (a non-Chinese Windows would garble them through the A functions).
#pragma once

#include <string>
#include <string_view>

namespace sys::win32 {

std::wstring ToWide(std::string_view gbk);
// Characters GBK cannot hold become '?', as WideCharToMultiByte does.
std::string FromWide(std::wstring_view wide);

// A path for the W file functions: "/" becomes "\" and doubled separators become one, except
// the leading pair of a UNC name.
std::wstring WidePath(std::string_view gbkPath);
// A registry subkey for RegOpenKeyExW / RegCreateKeyExW: leading, trailing and doubled
// backslashes removed (the API refuses a leading one).
std::wstring WideSubkey(std::string_view gbkSubkey);

}  // namespace sys::win32
