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

}  // namespace

bool Win32Platform::RunCommandLine(const std::string& commandLine, int showCommand) {
  // CreateProcessW may write into the command line, so it gets its own buffer.
  std::wstring line = ToWide(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
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
  HINSTANCE result = ShellExecuteW(nullptr, VerbOrDefault(verb), WidePath(request.file).c_str(),
                                   ToWide(request.parameters).c_str(),
                                   WidePath(request.directory).c_str(), request.showCommand);
  // Values up to 32 are error codes.
  return reinterpret_cast<INT_PTR>(result) > 32;
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
  for (;;) {
    if (auto code = DispatchPending()) quit = code;
    DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0 + 1) continue;
    if (woke == WAIT_FAILED) {
      if (auto code = DispatchPending()) quit = code;
    }
    break;
  }
  DWORD exitCode = 0;
  if (GetExitCodeProcess(handle, &exitCode)) outcome.exitCode = exitCode;
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
