#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/RegistrationStep.h"
#include "tests/engine/InstallFixture.h"

namespace enginetest {
namespace {

class Registration : public InstallTest {};

// Unquoted, "C:\Program Files\A\svc.exe -Install" lets Windows try "C:\Program.exe" first.
TEST_F(Registration, CommandLinesQuoteTheProgramPathOfComponentsAndServices) {
  builder.AddFile("X:\\src\\x.dll", "目标计算机\\Program Files\\", "x").IsComponent = 1;
  builder.AddFile("X:\\src\\svc.exe", "目标计算机\\Program Files\\", "s").IsService = 1;
  LoadAndInstall("C:\\Program Files\\A");
  std::vector<std::string> expected{"regsvr32.exe /s \"C:\\Program Files\\A\\x.dll\"",
                                    "\"C:\\Program Files\\A\\svc.exe\" -Install"};
  EXPECT_EQ(CommandLines(), expected);
  EXPECT_EQ(Hints().at(2), "正在注册服务“C:\\Program Files\\A\\svc.exe”，请稍候");
}

TEST_F(Registration, AutoRunValueUnderTheMachineRunKeyIsQuoted) {
  builder.AddFile("X:\\src\\agent.exe", "指定目录\\C:\\My Tools", "a").RunAtStartup = 1;
  LoadAndInstall();
  auto value = Value(sys::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                     "agent.exe");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->data, "\"C:\\My Tools\\agent.exe\"");
  EXPECT_EQ(Hints().at(1), "正在安装自动运行程序“C:\\My Tools\\agent.exe”，请稍候");
  // Not the run's creation: the uninstaller leaves the Run value to the program.
  for (const auto& item : Log().items) EXPECT_NE(item.valueName, "agent.exe");
}

TEST_F(Registration, ComponentIsRegisteredBeforeItIsStarted) {
  auto& entry = builder.AddFile("X:\\src\\x.exe", "目标计算机\\Program Files\\", "x");
  entry.IsComponent = 1;
  entry.RunAfterInstall = 1;
  LoadAndInstall();
  std::vector<std::string> expected{"regsvr32.exe /s \"C:\\Apps\\T\\x.exe\"",
                                    "shell Open C:\\Apps\\T\\x.exe in C:\\Apps\\T\\"};
  EXPECT_EQ(CommandLines(), expected);
}

TEST_F(Registration, EntrySkippedByTargetOsIsRegisteredUnderItsStoredPath) {
  auto& entry = builder.AddFile("X:\\src\\xp.dll", "目标计算机\\Program Files\\", "x");
  entry.TargetOs = "5.1";
  entry.IsComponent = 1;
  LoadAndInstall();
  EXPECT_EQ(CommandLines(), std::vector<std::string>{"regsvr32.exe /s \"X:\\src\\xp.dll\""});
}

TEST_F(Registration, RemovalDirection) {
  RegisterComponent(platform(), "C:\\A\\x.dll", false);
  RegisterService(platform(), "C:\\A\\svc.exe", false);
  SetAutoRun(platform(), "agent.exe", "C:\\Tools\\agent.exe", true);
  SetAutoRun(platform(), "agent.exe", "", false);
  std::vector<std::string> expected{"regsvr32.exe /s/u \"C:\\A\\x.dll\"",
                                    "\"C:\\A\\svc.exe\" -unInstall"};
  EXPECT_EQ(CommandLines(), expected);
  EXPECT_FALSE(Value(sys::kHkeyLocalMachine, engine::kRunKey, "agent.exe").has_value());
}

}  // namespace
}  // namespace enginetest
