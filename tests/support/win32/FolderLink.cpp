#include "tests/support/win32/FolderLink.h"

#include <cstring>
#include <vector>

#include <windows.h>
#include <winioctl.h>

#include "system/win32/ScopedWin.h"
#include "system/win32/WideText.h"

namespace sys::win32::tests {
namespace {

// The mount-point form of REPARSE_DATA_BUFFER, which the user-mode headers leave out.
std::vector<char> JunctionData(const std::wstring& target) {
  const std::wstring substitute = L"\\??\\" + target;
  const size_t substituteBytes = substitute.size() * sizeof(wchar_t);
  const size_t printBytes = target.size() * sizeof(wchar_t);
  const size_t pathBytes = substituteBytes + printBytes + 2 * sizeof(wchar_t);
  std::vector<char> data(8 + 8 + pathBytes, 0);
  auto put16 = [&](size_t at, size_t value) {
    const uint16_t v = static_cast<uint16_t>(value);
    std::memcpy(data.data() + at, &v, 2);
  };
  const uint32_t tag = IO_REPARSE_TAG_MOUNT_POINT;
  std::memcpy(data.data(), &tag, 4);
  put16(4, 8 + pathBytes);                      // ReparseDataLength
  put16(8, 0);                                  // SubstituteNameOffset
  put16(10, substituteBytes);                   // SubstituteNameLength
  put16(12, substituteBytes + sizeof(wchar_t)); // PrintNameOffset
  put16(14, printBytes);                        // PrintNameLength
  std::memcpy(data.data() + 16, substitute.data(), substituteBytes);
  std::memcpy(data.data() + 16 + substituteBytes + sizeof(wchar_t), target.data(), printBytes);
  return data;
}

bool MakeJunction(const std::wstring& link, const std::wstring& target) {
  if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
  bool made = false;
  {
    ScopedHandle folder(CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                    nullptr));
    std::vector<char> data = JunctionData(target);
    DWORD returned = 0;
    made = folder && DeviceIoControl(folder.Get(), FSCTL_SET_REPARSE_POINT, data.data(),
                                     static_cast<DWORD>(data.size()), nullptr, 0, &returned,
                                     nullptr);
  }
  if (!made) RemoveDirectoryW(link.c_str());
  return made;
}

}  // namespace

bool MakeFolderLink(const std::string& link, const std::string& target) {
  const std::wstring wideLink = WidePath(link);
  const std::wstring wideTarget = WidePath(target);
  if (MakeJunction(wideLink, wideTarget)) return true;
  // SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE.
  using CreateLink = BOOLEAN(WINAPI*)(const wchar_t*, const wchar_t*, DWORD);
  auto create = reinterpret_cast<CreateLink>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CreateSymbolicLinkW")));
  if (!create || !create(wideLink.c_str(), wideTarget.c_str(), 0x1 | 0x2)) return false;
  const DWORD attributes = GetFileAttributesW(wideLink.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace sys::win32::tests
