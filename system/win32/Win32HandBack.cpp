// The elevated relaunch's hand-back on Windows. The unelevated parent makes a section in the page
// file that only it holds and names it on the copy's command line as /HANDBACK=<pid>:<handle>.
// An elevated copy may open its parent's process, so it duplicates the handle into itself,
// writes the paths and ends; the parent reads them once the copy has ended. Nobody else is told
// the handle, and nothing the copy writes there can do more than the parent, which runs as the
// person, could do anyway.
//
// The section holds a 32-bit count, then for each path a 32-bit byte count and its GBK bytes.
#include <charconv>
#include <cstring>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>
#include <shellapi.h>

#include "system/win32/ScopedWin.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"

namespace sys::win32 {
namespace {

constexpr DWORD kChannelSize = 64 * 1024;
constexpr const wchar_t* kSwitch = L"/HANDBACK=";

// A mapped view, unmapped when it goes.
class View {
 public:
  View(HANDLE section, DWORD access) : bytes_(static_cast<unsigned char*>(
                                           MapViewOfFile(section, access, 0, 0, kChannelSize))) {}
  ~View() {
    if (bytes_) UnmapViewOfFile(bytes_);
  }
  View(const View&) = delete;
  View& operator=(const View&) = delete;
  unsigned char* bytes() const { return bytes_; }

 private:
  unsigned char* bytes_;
};

uint32_t LoadU32(const unsigned char* at) {
  return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

void StoreU32(unsigned char* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

// "<pid>:<handle>" in decimal with nothing around it.
bool ParseNumbers(std::string_view text, unsigned long& pid, unsigned long& handle) {
  const char* end = text.data() + text.size();
  auto [colon, pidError] = std::from_chars(text.data(), end, pid);
  if (pidError != std::errc() || colon == end || *colon != ':') return false;
  auto [last, handleError] = std::from_chars(colon + 1, end, handle);
  return handleError == std::errc() && last == end;
}

// The parent's process id and section handle from the copy's command line.
// Handle values are 32-bit significant on 64-bit Windows too, so both fit an unsigned long.
bool ParseSwitch(DWORD& pid, unsigned long& handle) {
  int count = 0;
  ScopedArgv argv(CommandLineToArgvW(GetCommandLineW(), &count));
  for (int i = 1; argv && i < count; ++i) {
    const wchar_t* argument = argv.Get()[i];
    if (_wcsnicmp(argument, kSwitch, wcslen(kSwitch)) != 0) continue;
    unsigned long parsedPid = 0;
    if (!ParseNumbers(FromWide(argument + wcslen(kSwitch)), parsedPid, handle)) return false;
    pid = parsedPid;
    return true;
  }
  return false;
}

}  // namespace

std::string Win32Platform::CreateHandBack() {
  handBack_ = ScopedHandle(
      CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kChannelSize, nullptr));
  if (!handBack_) return {};
  return FromWide(kSwitch) + std::to_string(GetCurrentProcessId()) + ":" +
         std::to_string(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(handBack_.Get())));
}

std::vector<std::string> Win32Platform::TakeHandBack() {
  std::vector<std::string> paths;
  if (!handBack_) return paths;
  {
    View view(handBack_.Get(), FILE_MAP_READ);
    const unsigned char* bytes = view.bytes();
    if (bytes) {
      const uint32_t count = LoadU32(bytes);
      DWORD at = 4;
      for (uint32_t i = 0; i < count && kChannelSize - at >= 4; ++i) {
        const uint32_t length = LoadU32(bytes + at);
        at += 4;
        if (length > kChannelSize - at) break;
        paths.emplace_back(reinterpret_cast<const char*>(bytes + at), length);
        at += length;
      }
    }
  }
  handBack_.Reset();
  return paths;
}

bool Win32Platform::HandBack(const std::vector<std::string>& paths) {
  DWORD pid = 0;
  unsigned long value = 0;
  if (!ParseSwitch(pid, value)) return false;
  DWORD needed = 4;
  for (const std::string& path : paths) {
    if (path.size() > kChannelSize - needed - 4) return false;
    needed += 4 + static_cast<DWORD>(path.size());
  }
  ScopedHandle parent(OpenProcess(PROCESS_DUP_HANDLE, FALSE, pid));
  if (!parent) return false;
  HANDLE duplicated = nullptr;
  if (!DuplicateHandle(parent.Get(), reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value)),
                       GetCurrentProcess(), &duplicated, FILE_MAP_WRITE, FALSE, 0)) {
    return false;
  }
  ScopedHandle section(duplicated);
  View view(section.Get(), FILE_MAP_WRITE);
  unsigned char* bytes = view.bytes();
  if (!bytes) return false;
  DWORD at = 4;
  for (const std::string& path : paths) {
    StoreU32(bytes + at, static_cast<uint32_t>(path.size()));
    std::memcpy(bytes + at + 4, path.data(), path.size());
    at += 4 + static_cast<DWORD>(path.size());
  }
  // The count last: a copy that dies half-way hands back nothing.
  StoreU32(bytes, static_cast<uint32_t>(paths.size()));
  return true;
}

}  // namespace sys::win32
