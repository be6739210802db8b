// Profile (.ini) files of Win32Platform. The file is read and parsed here rather than through
// GetPrivateProfileStringW: that API decodes an ANSI file with the system's code page, so the
// GBK keys and values of a package would garble on a non-Chinese Windows. A file that starts
// with a UTF-16 byte order mark is a Unicode profile and is converted first.
#include <optional>
#include <string>

#include <windows.h>

#include "system/ProfileFile.h"
#include "system/win32/ScopedWin.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"

namespace sys::win32 {
namespace {

// Settings files are small; a larger file is treated as unreadable instead of held in memory.
constexpr LONGLONG kMaxProfileBytes = 16 << 20;

// The whole file as GBK text; nullopt when it cannot be read. A relative name is taken from the
// working folder, as every other path is (the profile API would look in the Windows folder).
std::optional<std::string> ReadProfileText(const std::string& file) {
  ScopedHandle handle(CreateFileW(FileSystemPath(file).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!handle || !GetFileSizeEx(handle.Get(), &size) || size.QuadPart > kMaxProfileBytes) {
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(handle.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size())) {
    return std::nullopt;
  }
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    std::wstring wide((bytes.size() - 2) / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
      wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                     static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
    }
    return FromWide(wide);
  }
  return bytes;
}

}  // namespace

std::string Win32Platform::ProfileString(const std::string& file, const std::string& section,
                                         const std::string& key,
                                         const std::string& fallback) const {
  std::optional<std::string> text = ReadProfileText(file);
  if (!text) return fallback;
  return ProfileFile(*text).Value(section, key).value_or(fallback);
}

std::vector<std::string> Win32Platform::ProfileKeys(const std::string& file,
                                                    const std::string& section) const {
  std::optional<std::string> text = ReadProfileText(file);
  return text ? ProfileFile(*text).Keys(section) : std::vector<std::string>();
}

}  // namespace sys::win32
