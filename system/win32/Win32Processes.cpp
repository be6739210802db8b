// Programs and the shell of Win32Platform: starting command lines, ShellExecute(Ex), waiting for
// a started process while the window messages of this thread keep flowing.
#include <string>

#include <windows.h>
#include <shellapi.h>

#include "system/win32/ScopedWin.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"

namespace sys::win32 {
namespace {

// ShellExecute takes null for "the default verb"; an empty verb string is not the same thing.
const wchar_t* VerbOrDefault(const std::wstring& verb) {
  return verb.empty() ? nullptr : verb.c_str();
}

// The program of a command line: the quoted first token, or everything up to the first blank.
std::wstring ProgramOf(const std::wstring& line) {
  size_t start = line.find_first_not_of(L" \t");
  if (start == std::wstring::npos) return {};
  if (line[start] == L'"') {
    size_t end = line.find(L'"', start + 1);
    return line.substr(start + 1, end == std::wstring::npos ? end : end - start - 1);
  }
  size_t end = line.find_first_of(L" \t", start);
  return line.substr(start, end == std::wstring::npos ? end : end - start);
}

std::wstring InFolder(UINT (*folderOf)(wchar_t*, UINT), const std::wstring& name) {
  wchar_t folder[MAX_PATH + 1] = L"";
  UINT n = folderOf(folder, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return {};
  std::wstring path = std::wstring(folder, n) + L"\\" + name;
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
  return path;
}

UINT SystemFolder(wchar_t* buffer, UINT size) { return GetSystemDirectoryW(buffer, size); }
UINT WindowsFolder(wchar_t* buffer, UINT size) { return GetWindowsDirectoryW(buffer, size); }

bool IsBareName(const std::wstring& program) {
  return !program.empty() && program.find_first_of(L"\\/:") == std::wstring::npos;
}

// The file a program named without a folder stands for, looked up in the system folder (of this
// process's view: SysWOW64 for a 32-bit run on 64-bit Windows) and then the Windows folder.
// CreateProcess would look in the setup program's folder first, where anyone who can write the
// downloads folder can plant "regsvr32.exe". Empty when it is in neither.
std::wstring SystemProgram(const std::wstring& program) {
  std::wstring name = program;
  if (name.find(L'.') == std::wstring::npos) name += L".exe";
  std::wstring path = InFolder(&SystemFolder, name);
  return path.empty() ? InFolder(&WindowsFolder, name) : path;
}

}  // namespace

bool Win32Platform::RunCommandLine(const std::string& commandLine, int showCommand) {
  // CreateProcessW may write into the command line, so it gets its own buffer.
  std::wstring line = ToWide(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  std::wstring program = ProgramOf(line);
  std::wstring systemProgram = IsBareName(program) ? SystemProgram(program) : std::wstring();
  // A bare name found nowhere safe is not started at all.
  if (IsBareName(program) && systemProgram.empty()) return false;
  // Always named outright: left to CreateProcess, an unquoted "C:\My Apps\app.exe -x" would
  // start "C:\My.exe" when someone put one there.
  const std::wstring& application = systemProgram.empty() ? program : systemProgram;
  if (application.empty()) return false;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  ScopedHandle processHandle(process.hProcess);
  ScopedHandle threadHandle(process.hThread);
  // As WinExec does: give the program up to 30 seconds to come up (or end). Regedit reads its
  // script from the temporary folder, which a run without wizard clears right after the
  // install; without this pause the import was lost.
  WaitForInputIdle(process.hProcess, 30000);
  return true;
}

bool Win32Platform::ShellRun(const ShellRequest& request) {
  std::wstring verb = ToWide(request.verb);
  std::wstring file = WidePath(request.file);
  std::wstring parameters = ToWide(request.parameters);
  std::wstring directory = WidePath(request.directory);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  // The finish actions run just before the process ends: an asynchronous launch could die with
  // it. Failures are ignored by every caller, so the shell shows no box for them either.
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.hwnd = static_cast<HWND>(OwnerWindow());
  info.lpVerb = VerbOrDefault(verb);
  info.lpFile = file.c_str();
  info.lpParameters = parameters.c_str();
  info.lpDirectory = directory.c_str();
  info.nShow = request.showCommand;
  return ShellExecuteExW(&info) != FALSE;
}

ShellOutcome Win32Platform::ShellRunAndWait(const ShellRequest& request) {
  std::wstring verb = ToWide(request.verb);
  std::wstring file = WidePath(request.file);
  std::wstring parameters = ToWide(request.parameters);
  std::wstring directory = WidePath(request.directory);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  if (request.quiet) info.fMask |= SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOZONECHECKS;
  // Owned by the run's window, the elevation prompt comes to the front instead of waiting as a
  // flashing taskbar button.
  info.hwnd = static_cast<HWND>(OwnerWindow());
  info.lpVerb = VerbOrDefault(verb);
  info.lpFile = file.c_str();
  info.lpParameters = parameters.c_str();
  info.lpDirectory = directory.c_str();
  info.nShow = request.showCommand;

  ShellOutcome outcome;
  if (!ShellExecuteExW(&info)) {
    outcome.error = GetLastError();
    return outcome;
  }
  outcome.started = true;
  // No handle when the shell handed the file to a program already running (DDE): nothing to
  // wait for.
  ScopedHandle process(info.hProcess);
  if (!process) return outcome;

  HANDLE handle = process.Get();
  std::optional<int> quit;
  DWORD woke;
  do {
    if (auto code = DispatchPending()) quit = code;
    // MWMO_INPUTAVAILABLE also wakes for input that a peek has already seen but left queued,
    // which a plain wait would sleep through.
    woke = MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  } while (woke == WAIT_OBJECT_0 + 1);
  if (woke == WAIT_OBJECT_0) {
    DWORD exitCode = 0;
    if (GetExitCodeProcess(handle, &exitCode)) outcome.exitCode = exitCode;
  } else if (auto code = DispatchPending()) {
    // The wait failed: the process may still run, so there is no exit code to give.
    quit = code;
  }
  // The quit request taken from the queue while waiting belongs to the caller's message loop.
  if (quit) PostQuitMessage(*quit);
  return outcome;
}

void Win32Platform::ProcessMessages() {
  if (auto quit = DispatchPending()) PostQuitMessage(*quit);
}

std::optional<int> Win32Platform::DispatchPending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return std::nullopt;
}

}  // namespace sys::win32
