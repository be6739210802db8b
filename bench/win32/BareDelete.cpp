// bare-delete.exe FOLDER: the yardstick of the uninstaller in bench/wine-speed.sh. Removes
// FOLDER with everything below it the plainest way the Win32 API allows: one directory listing
// per folder, DeleteFileW per file, RemoveDirectoryW per folder once it is empty. No log is
// read, no registry touched.
#include <cstdio>
#include <string>

#include <windows.h>

namespace {

bool RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                 FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  bool removed = true;
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) removed = RemoveTree(path) && removed;
      else removed = DeleteFileW(path.c_str()) && removed;
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  return RemoveDirectoryW(folder.c_str()) && removed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bare-delete FOLDER\n");
    return 2;
  }
  return RemoveTree(argv[1]) ? 0 : 1;
}
