// The one crossing between our GBK text and the UTF-16 of the W functions. Code page 936 is
// named explicitly, never CP_ACP, so GBK paths and captions come out right whatever the
// system's ANSI code page is (a non-Chinese Windows would garble them through the A functions).
//
// Text coming back from Windows may hold characters GBK lacks (a user named Jörg or François).
// Such text is never passed on silently changed: FromWideExact says when anything would be
// lost, and PathFromWide falls back to the path's short (8.3) form or raises an error naming
// the path.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sys::win32 {

std::wstring ToWide(std::string_view gbk);
// Characters GBK cannot hold become '?', as WideCharToMultiByte does. For names shown or
// compared only (shell verb names), never for paths.
std::string FromWide(std::wstring_view wide);
// nullopt when any character has no GBK form (no best-fit look-alikes either).
std::optional<std::string> FromWideExact(std::wstring_view wide);
// A path from Windows as GBK: exact, else its short form when that is exact (the path must
// exist for Windows to give one), else throws sys::Error(Format(kPathOutsideGbk, path)) with
// ERROR_NO_UNICODE_TRANSLATION, the path spelt with '?' for what GBK lacks.
std::string PathFromWide(const std::wstring& widePath);

// UTF-8 and UTF-16: nullopt when utf8 is not valid UTF-8.
std::optional<std::wstring> WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// A path for the W file functions: "/" becomes "\" and doubled separators become one, except
// the leading pair of a UNC name.
std::wstring WidePath(std::string_view gbkPath);
// WidePath for the file-system calls: a full path of 260 characters or more takes the "\\?\"
// form (made absolute and normalised first, which that form skips), so deep install folders
// work on systems that still hold the MAX_PATH limit.
std::wstring FileSystemPath(std::string_view gbkPath);
// A registry subkey for RegOpenKeyExW / RegCreateKeyExW: leading, trailing and doubled
// backslashes removed (the API refuses a leading one).
std::wstring WideSubkey(std::string_view gbkSubkey);

}  // namespace sys::win32
