// What the administrator's switches need of Win32Platform: the command line as typed, whether
// the token is elevated, the one-run-at-a-time mutex and the UTF-8 conversions.
#include <windows.h>

#include <string>

#include "system/Error.h"
#include "system/win32/ScopedWin.h"
#include "system/win32/WideText.h"
#include "system/win32/Win32Platform.h"

namespace sys::win32 {
namespace {

class MutexClaim : public RunClaim {
 public:
  explicit MutexClaim(ScopedHandle mutex) : mutex_(std::move(mutex)) {}

 private:
  ScopedHandle mutex_;
};

}  // namespace

std::string Win32Platform::Arguments() const {
  const wchar_t* line = GetCommandLineW();
  // The program's name ends as CommandLineToArgvW ends it: at the closing quote when it starts
  // with one, else at the first blank.
  if (*line == L'"') {
    ++line;
    while (*line && *line != L'"') ++line;
    if (*line) ++line;
  } else {
    while (*line && *line != L' ' && *line != L'\t') ++line;
  }
  while (*line == L' ' || *line == L'\t') ++line;
  return FromWide(line);
}

bool Win32Platform::IsElevated() const {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  // Systems before 6.0 know no elevation: an administrator's token is a full one there.
  if (!GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size)) {
    return GetLastError() == ERROR_INVALID_PARAMETER;
  }
  return elevation.TokenIsElevated != 0;
}

std::unique_ptr<RunClaim> Win32Platform::ClaimRun(const std::string& name) {
  // Global: a setup started in another session (a deployment tool's, a second desktop) counts.
  std::wstring wide = L"Global\\" + ToWide(name);
  ScopedHandle mutex(CreateMutexW(nullptr, FALSE, wide.c_str()));
  // ERROR_ACCESS_DENIED: it exists, made by a process whose object we may not open.
  if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return nullptr;
  return std::make_unique<MutexClaim>(std::move(mutex));
}

std::string Win32Platform::ToUtf8(const std::string& gbk) const {
  return Utf8FromWide(ToWide(gbk));
}

std::string Win32Platform::FromUtf8(const std::string& utf8) const {
  std::optional<std::wstring> wide = WideFromUtf8(utf8);
  std::optional<std::string> gbk = wide ? FromWideExact(*wide) : std::nullopt;
  if (!gbk) throw Error(kNotUtf8Text, ERROR_NO_UNICODE_TRANSLATION);
  return *gbk;
}

}  // namespace sys::win32
