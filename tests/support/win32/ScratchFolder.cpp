#include "tests/support/win32/ScratchFolder.h"

#include <atomic>
#include <stdexcept>

#include <windows.h>

#include "system/win32/ScopedWin.h"
#include "system/win32/WideText.h"

namespace sys::win32::tests {
namespace {

void RemoveWide(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  ScopedFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (find) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring child = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveWide(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(find.Get(), &found));
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder() {
  static std::atomic<unsigned> counter{0};
  wchar_t temp[MAX_PATH + 2];
  DWORD n = GetTempPathW(MAX_PATH + 2, temp);
  if (n == 0 || n > MAX_PATH + 1) throw std::runtime_error("no temporary folder");
  std::wstring path = std::wstring(temp, n) + L"setup-test-" +
                      std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
  RemoveWide(path);
  if (!CreateDirectoryW(path.c_str(), nullptr)) throw std::runtime_error("cannot make scratch");
  path_ = FromWide(path);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

void RemoveTree(const std::string& path) { RemoveWide(WidePath(path)); }

}  // namespace sys::win32::tests
