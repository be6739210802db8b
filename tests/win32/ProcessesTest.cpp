// Starting programs and waiting for them on the real API: exit codes come through, failures are
// reported with their Windows code, and the wait keeps this thread's messages flowing without
// losing a quit request.
#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "system/Error.h"
#include "system/Platform.h"
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

TEST(Session, ShutdownPrivilegeCanBeEnabled) {
  Win32Platform platform;
  EXPECT_TRUE(platform.EnableShutdownPrivilege());
}

}  // namespace
}  // namespace sys::win32
