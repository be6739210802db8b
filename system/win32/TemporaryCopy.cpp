#include "system/win32/TemporaryCopy.h"

#include <cstring>
#include <cwchar>
#include <vector>

#include <windows.h>
#include <shellapi.h>

#include "system/Gbk.h"
#include "system/win32/PrivateFolder.h"
#include "system/win32/ScopedWin.h"
#include "system/win32/WideText.h"

namespace sys::win32 {
namespace {

std::wstring TempFolder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  return n == 0 || n > MAX_PATH ? std::wstring() : std::wstring(buffer, n);
}

// Whether two open files hold the same bytes.
bool SameContent(HANDLE a, HANDLE b) {
  LARGE_INTEGER sizeA, sizeB;
  if (!GetFileSizeEx(a, &sizeA) || !GetFileSizeEx(b, &sizeB) || sizeA.QuadPart != sizeB.QuadPart) {
    return false;
  }
  std::vector<char> bufferA(1 << 16), bufferB(1 << 16);
  for (;;) {
    DWORD readA = 0, readB = 0;
    if (!ReadFile(a, bufferA.data(), static_cast<DWORD>(bufferA.size()), &readA, nullptr) ||
        !ReadFile(b, bufferB.data(), readA, &readB, nullptr) || readA != readB) {
      return false;
    }
    if (readA == 0) return true;
    if (std::memcmp(bufferA.data(), bufferB.data(), readA) != 0) return false;
  }
}

std::wstring LongPath(const std::wstring& path) {
  wchar_t buffer[MAX_PATH * 2];
  const DWORD n = GetLongPathNameW(path.c_str(), buffer, MAX_PATH * 2);
  return n == 0 || n >= MAX_PATH * 2 ? path : std::wstring(buffer, n);
}

}  // namespace

std::vector<std::string> CommandLineArguments() {
  int count = 0;
  ScopedArgv argv(CommandLineToArgvW(GetCommandLineW(), &count));
  std::vector<std::string> args;
  for (int i = 1; argv && i < count; ++i) args.push_back(FromWide(argv.Get()[i]));
  return args;
}

bool StartTemporaryCopy(const std::string& exePath,
                        const std::function<std::string(uint32_t number)>& folderName, uint32_t tries,
                        const std::function<std::string(uint64_t processHandle)>& arguments) {
  const std::wstring temp = TempFolder();
  if (temp.empty()) return false;
  // Held, so that no one else can rename it, until the copy runs.
  PrivateFolder privateFolder = MakePrivateFolder(temp, folderName, tries);
  const std::wstring& folder = privateFolder.path;
  if (folder.empty()) return false;
  const std::wstring copy = folder + L"\\" + ToWide(ExtractFileName(exePath));
  ScopedHandle fileOnClose;
  auto abandon = [&] {
    fileOnClose.Reset();
    DeleteFileW(copy.c_str());
    privateFolder.hold.Reset();
    RemoveDirectoryW(folder.c_str());
    return false;
  };
  // The copy's access to this process: SYNCHRONIZE to wait on it, query to read its image's path.
  HANDLE self = nullptr;
  if (!CopyFileW(WidePath(exePath).c_str(), copy.c_str(), TRUE) ||
      !DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                       SYNCHRONIZE | PROCESS_QUERY_INFORMATION, TRUE, 0)) {
    return abandon();
  }
  ScopedHandle selfHandle(self);
  // A handle the copy inherits and never uses: it closes when the copy ends, and with it goes
  // the copy's file where the system lets a program's file go once it has ended (Wine does).
  // Opened now, before the file is a running image, which no delete-on-close open may be. It is
  // also the hold on the copy: shared for reading only, so nobody can write, rename or delete
  // the file while it is open, and its bytes are checked to be this program's, so a file swapped
  // in before the hold is caught rather than started with the rights of this process.
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  fileOnClose = ScopedHandle(CreateFileW(copy.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ,
                                         &inherit, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE,
                                         nullptr));
  ScopedHandle original(CreateFileW(WidePath(exePath).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!fileOnClose || !original || !SameContent(fileOnClose.Get(), original.Get())) return abandon();
  std::wstring commandLine =
      L"\"" + copy + L"\" " + ToWide(arguments(reinterpret_cast<uintptr_t>(self)));
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    return abandon();
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool IsProcessImage(uint64_t processHandle, const std::string& program) {
  using ImageNameFunction = BOOL(WINAPI*)(HANDLE, DWORD, wchar_t*, DWORD*);
  const auto imageName = reinterpret_cast<ImageNameFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW")));
  if (!imageName) return true;
  const HANDLE process = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(processHandle));
  std::wstring image(MAX_PATH * 2, L'\0');
  DWORD size = static_cast<DWORD>(image.size());
  if (!imageName(process, 0, image.data(), &size)) return false;
  image.resize(size);
  return _wcsicmp(LongPath(image).c_str(), LongPath(WidePath(program)).c_str()) == 0;
}

void WaitForProcessHandle(uint64_t handle, uint32_t timeoutMs) {
  ScopedHandle process(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handle)));
  WaitForSingleObject(process.Get(), timeoutMs);
}

void RemoveRunningProgram(const std::string& exePath) {
  const std::wstring file = WidePath(exePath);
  std::wstring folder = WidePath(ExtractFilePath(exePath));
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  // Out of the folder first: a process's working folder cannot be removed.
  const std::wstring temp = TempFolder();
  if (!temp.empty()) SetCurrentDirectoryW(temp.c_str());
  // Where the file cannot go now, the handle the copy inherited deletes it once the program has
  // ended if the system allows that (Wine does; Windows keeps a file mapped as a program's
  // image), and the marks make sure of it and of the folder at the next restart. Renaming the
  // file out of its folder would let the folder go now, but the inherited handle then deletes
  // nothing under Wine, which follows the old name.
  if (!DeleteFileW(file.c_str())) MoveFileExW(file.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  if (!RemoveDirectoryW(folder.c_str())) MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace sys::win32
