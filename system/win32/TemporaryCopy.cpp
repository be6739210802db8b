#include "system/win32/TemporaryCopy.h"

#include <windows.h>
#include <shellapi.h>

#include "system/Gbk.h"
#include "system/win32/ScopedWin.h"
#include "system/win32/WideText.h"

namespace sys::win32 {
namespace {

std::wstring TempFolder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  return n == 0 || n > MAX_PATH ? std::wstring() : std::wstring(buffer, n);
}

// A folder that did not exist before this call, or empty.
std::wstring CreateNewFolder(const std::function<std::string(uint32_t number)>& folderName,
                             uint32_t tries) {
  const std::wstring temp = TempFolder();
  if (temp.empty()) return {};
  const DWORD start = GetTickCount();
  for (uint32_t attempt = 0; attempt < tries; ++attempt) {
    std::wstring folder = temp + ToWide(folderName(start + attempt));
    if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
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
  const std::wstring folder = CreateNewFolder(folderName, tries);
  if (folder.empty()) return false;
  const std::wstring copy = folder + L"\\" + ToWide(ExtractFileName(exePath));
  HANDLE self = nullptr;
  if (!CopyFileW(WidePath(exePath).c_str(), copy.c_str(), TRUE) ||
      !DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                       SYNCHRONIZE, TRUE, 0)) {
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
    return false;
  }
  ScopedHandle selfHandle(self);
  // A handle the copy inherits and never uses: it closes when the copy ends, and with it goes
  // the copy's file where the system lets a program's file go once it has ended (Wine does).
  // Opened now, before the file is a running image, which no delete-on-close open may be.
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  ScopedHandle fileOnClose(CreateFileW(copy.c_str(), GENERIC_READ | DELETE,
                                       FILE_SHARE_READ | FILE_SHARE_DELETE, &inherit, OPEN_EXISTING,
                                       FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  std::wstring commandLine =
      L"\"" + copy + L"\" " + ToWide(arguments(reinterpret_cast<uintptr_t>(self)));
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    fileOnClose.Reset();
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
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
