// Starting programs and waiting for them on the real API: exit codes come through, failures are
// reported with their Windows code, and the wait keeps this thread's messages flowing without
// losing a quit request.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "system/Error.h"
#include "system/Platform.h"
#include "system/win32/WideText.h"
#include "system/win32/Win32Platform.h"
#include "tests/support/win32/ScratchFolder.h"

namespace sys::win32 {
namespace {

ShellRequest Cmd(const std::string& parameters, bool quiet = false) {
  ShellRequest request;
  request.file = "cmd.exe";
  request.parameters = parameters;
  request.showCommand = 0;  // SW_HIDE
  request.quiet = quiet;
  return request;
}

std::optional<WPARAM> TakeQuit() {
  MSG message;
  if (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return message.wParam;
  return std::nullopt;
}

TEST(Processes, ShellRunAndWaitReturnsTheExitCode) {
  Win32Platform platform;
  ShellOutcome outcome = platform.ShellRunAndWait(Cmd("/c exit 7"));
  EXPECT_TRUE(outcome.started);
  EXPECT_EQ(outcome.exitCode, 7u);
}

TEST(Processes, QuietRunasStartsAndWaits) {
  // Wine grants "runas" without a prompt, so this is the elevated relaunch's path end to end.
  Win32Platform platform;
  ShellRequest request = Cmd("/c exit 3", true);
  request.verb = "runas";
  ShellOutcome outcome = platform.ShellRunAndWait(request);
  EXPECT_TRUE(outcome.started);
  EXPECT_EQ(outcome.exitCode, 3u);
}

TEST(Processes, ShellRunAndWaitOfAMissingProgramReportsItsCode) {
  Win32Platform platform;
  ShellRequest request = Cmd("", true);
  request.file = "C:\\no\\such\\program.exe";
  ShellOutcome outcome = platform.ShellRunAndWait(request);
  EXPECT_FALSE(outcome.started);
  EXPECT_TRUE(outcome.error == kErrorFileNotFound || outcome.error == kErrorPathNotFound)
      << outcome.error;
}

int delivered = 0;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_APP) ++delivered;
  return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST(Processes, WaitingDispatchesWindowMessages) {
  delivered = 0;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &CountingProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"SetupTestsMessageSink";
  RegisterClassW(&windowClass);
  HWND sink = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(sink, nullptr);
  PostMessageW(sink, WM_APP, 0, 0);

  Win32Platform platform;
  EXPECT_EQ(platform.ShellRunAndWait(Cmd("/c exit 0")).exitCode, 0u);
  EXPECT_EQ(delivered, 1);
  DestroyWindow(sink);
}

TEST(Processes, QuitRequestSurvivesTheWait) {
  Win32Platform platform;
  PostQuitMessage(5);
  EXPECT_TRUE(platform.ShellRunAndWait(Cmd("/c exit 0")).started);
  EXPECT_EQ(TakeQuit(), WPARAM{5});
  EXPECT_EQ(TakeQuit(), std::nullopt);
}

TEST(Processes, QuitRequestSurvivesProcessMessages) {
  Win32Platform platform;
  PostQuitMessage(9);
  platform.ProcessMessages();
  EXPECT_EQ(TakeQuit(), WPARAM{9});
}

TEST(Processes, RunCommandLineStartsAndReturns) {
  tests::ScratchFolder scratch;
  Win32Platform platform;
  std::string marker = scratch.path() + "\\started.txt";
  ASSERT_TRUE(platform.RunCommandLine("cmd.exe /c echo x > \"" + marker + "\"", 0));
  // The command runs on its own; wait for its file rather than for the process.
  for (int i = 0; i < 200 && !platform.FileExists(marker); ++i) Sleep(25);
  EXPECT_TRUE(platform.FileExists(marker));
}

TEST(Processes, RunCommandLineOfAMissingProgramFails) {
  Win32Platform platform;
  EXPECT_FALSE(platform.RunCommandLine("C:\\no\\such\\program.exe /x", 1));
}

TEST(Processes, ShellRunOfAMissingFileFails) {
  Win32Platform platform;
  ShellRequest request;
  request.file = "C:\\no\\such\\document.txt";
  EXPECT_FALSE(platform.ShellRun(request));
}

// The folder of the running test program, where CreateProcess looks first for a bare name.
std::wstring OwnFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring own(path, n);
  return own.substr(0, own.find_last_of(L'\\'));
}

// Copies of planted-program under the names of system programs, beside the test program (as in
// a downloads folder beside the setup program); removed with their markers afterwards.
class PlantedPrograms {
 public:
  PlantedPrograms() {
    for (const wchar_t* name : {L"regsvr32.exe", L"regedit.exe"}) {
      std::wstring path = OwnFolder() + L"\\" + name;
      copied_.push_back(path);
      DeleteFileW((path + L".ran").c_str());
      CopyFileW((OwnFolder() + L"\\planted-program.exe").c_str(), path.c_str(), FALSE);
    }
  }
  ~PlantedPrograms() {
    for (const std::wstring& path : copied_) {
      DeleteFileW(path.c_str());
      DeleteFileW((path + L".ran").c_str());
    }
  }
  bool Present() const {
    for (const std::wstring& path : copied_) {
      if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    }
    return true;
  }
  bool AnyRan() const {
    for (const std::wstring& path : copied_) {
      if (GetFileAttributesW((path + L".ran").c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    }
    return false;
  }

 private:
  std::vector<std::wstring> copied_;
};

TEST(Processes, SystemProgramsComeFromTheSystemNotFromBesideTheProgram) {
  PlantedPrograms planted;
  ASSERT_TRUE(planted.Present());
  tests::ScratchFolder scratch;
  Win32Platform platform;
  const std::string key = "Software\\SetupRuntimeTests\\Planted";
  const std::string script = scratch.path() + "\\import.reg";
  const std::string text =
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + key + "]\r\n\"Ran\"=\"real\"\r\n";
  platform.CreateForWrite(script)->Write(text.data(), text.size());

  // The command lines of the registration and registry steps, as they are built there.
  ASSERT_TRUE(platform.RunCommandLine("Regedit /s \"" + script + "\"", 0));
  ASSERT_TRUE(platform.RunCommandLine("regsvr32.exe /s \"" + scratch.path() + "\\none.dll\"", 0));
  // The real Regedit did the import; wait for it rather than for the process.
  for (int i = 0; i < 200 && !platform.KeyExists(kHkeyCurrentUser, key); ++i) Sleep(25);
  EXPECT_TRUE(platform.KeyExists(kHkeyCurrentUser, key));
  Sleep(200);
  EXPECT_FALSE(planted.AnyRan());
  RegDeleteTreeW(HKEY_CURRENT_USER, ToWide(key).c_str());
}

TEST(Processes, BareNameOutsideTheSystemFoldersIsNotStarted) {
  // planted-program.exe lies beside the test program and would be found there by CreateProcess.
  const std::wstring marker = OwnFolder() + L"\\planted-program.exe.ran";
  DeleteFileW(marker.c_str());
  Win32Platform platform;
  EXPECT_FALSE(platform.RunCommandLine("planted-program.exe", 0));
  Sleep(200);
  EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES);
}

// Left to CreateProcess, "C:\\My Apps\\app.exe -x" unquoted starts "C:\\My.exe" when there is one.
TEST(Processes, AProgramPathWithBlanksNeverStartsAShorterOne) {
  tests::ScratchFolder scratch;
  const std::wstring shorter = ToWide(scratch.path()) + L"\\My.exe";
  ASSERT_TRUE(CopyFileW((OwnFolder() + L"\\planted-program.exe").c_str(), shorter.c_str(), FALSE));
  CreateDirectoryW((ToWide(scratch.path()) + L"\\My Apps").c_str(), nullptr);
  Win32Platform platform;
  EXPECT_FALSE(platform.RunCommandLine(scratch.path() + "\\My Apps\\app.exe -Install", 0));
  Sleep(200);
  EXPECT_EQ(GetFileAttributesW((shorter + L".ran").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Processes, ShellRunStartsAndReturns) {
  tests::ScratchFolder scratch;
  Win32Platform platform;
  std::string marker = scratch.path() + "\\opened.txt";
  ShellRequest request = Cmd("/c echo x > \"" + marker + "\"");
  request.verb = "Open";
  request.directory = scratch.path() + "\\";
  ASSERT_TRUE(platform.ShellRun(request));
  for (int i = 0; i < 200 && !platform.FileExists(marker); ++i) Sleep(25);
  EXPECT_TRUE(platform.FileExists(marker));
}

TEST(Machine, CriticalErrorBoxesAreOffWhileThePlatformLives) {
  UINT before = SetErrorMode(0);
  SetErrorMode(before & ~SEM_FAILCRITICALERRORS);
  {
    Win32Platform platform;
    UINT during = SetErrorMode(0);
    SetErrorMode(during);
    EXPECT_TRUE(during & SEM_FAILCRITICALERRORS);
  }
  UINT after = SetErrorMode(0);
  EXPECT_FALSE(after & SEM_FAILCRITICALERRORS);
  SetErrorMode(before);
}

TEST(Session, ShutdownPrivilegeCanBeEnabled) {
  Win32Platform platform;
  EXPECT_TRUE(platform.EnableShutdownPrivilege());
}

}  // namespace
}  // namespace sys::win32
