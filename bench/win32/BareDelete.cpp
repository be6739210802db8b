// bare-delete.exe FOLDER: the yardstick of the uninstaller in bench/wine-speed.sh. Removes
// FOLDER with everything below it the plainest way the Win32 API allows: one directory listing
// per folder, then DeleteFileW per file and RemoveDirectoryW per folder once it is empty. No log is
// read, no registry touched.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

namespace {

bool RemoveTree(const std::wstring& folder) {
  // The listing is read whole before anything is deleted, so no deletion runs under an open
  // listing of its folder.
  std::vector<std::pair<std::wstring, bool>> entries;  // path, is a folder
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                 FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      entries.emplace_back(folder + L"\\" + name, isFolder);
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  bool removed = true;
  for (const auto& [path, isFolder] : entries)
    removed = (isFolder ? RemoveTree(path) : DeleteFileW(path.c_str()) != 0) && removed;
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
