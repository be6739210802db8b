// What the simulated machine journals instead of running, and how it answers.
#include <gtest/gtest.h>

#include "system/Error.h"
#include "system/Gbk.h"
#include "system/sandbox/Encoding.h"
#include "tests/support/host/SandboxHost.h"

namespace {

using sys::sandbox::GbkToUtf8;
using testsupport::SandboxHost;

TEST(SandboxJournal, StartedProgramsAreJournalledInOrder) {
  SandboxHost host;
  sys::sandbox::SandboxPlatform& p = host.platform();
  EXPECT_TRUE(p.RunCommandLine("regsvr32.exe /s \"C:\\Windows\\控件.ocx\"", 0));
  sys::ShellRequest open{"open", "C:\\App\\readme.txt", "", "C:\\App", 1, false};
  EXPECT_TRUE(p.ShellRun(open));

  auto lines = host.Journal();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]["op"], "run");
  EXPECT_EQ(lines[0]["commandLine"], GbkToUtf8("regsvr32.exe /s \"C:\\Windows\\控件.ocx\""));
  EXPECT_EQ(lines[0]["show"], 0);
  EXPECT_EQ(lines[1]["op"], "shellRun");
  EXPECT_EQ(lines[1]["verb"], "open");
  EXPECT_EQ(lines[1]["file"], "C:\\App\\readme.txt");
  EXPECT_EQ(lines[1]["directory"], "C:\\App");
  EXPECT_EQ(lines[1]["quiet"], false);
  // Nothing ran: no file appeared anywhere.
  EXPECT_FALSE(p.FileExists("C:\\App\\readme.txt"));
}

TEST(SandboxJournal, WaitedProgramsGiveTheMachineExitCode) {
  SandboxHost host;
  sys::sandbox::SandboxPlatform& p = host.platform();
  p.SetExitCode(42);
  sys::ShellOutcome outcome = p.ShellRunAndWait({"runas", "C:\\setup.exe", "-1", "", 1, true});
  EXPECT_TRUE(outcome.started);
  EXPECT_EQ(outcome.exitCode, 42u);
  auto lines = host.Journal();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]["op"], "shellRunAndWait");
  EXPECT_EQ(lines[0]["parameters"], "-1");
  EXPECT_EQ(lines[0]["quiet"], true);
  EXPECT_EQ(lines[0]["started"], true);
  EXPECT_EQ(lines[0]["exitCode"], 42);
}

TEST(SandboxJournal, RefusedElevationFailsOnlyRunas) {
  SandboxHost host;
  sys::sandbox::SandboxPlatform& p = host.platform();
  p.SetElevation(false);
  sys::ShellOutcome refused = p.ShellRunAndWait({"RunAs", "C:\\setup.exe", "-1", "", 1, true});
  EXPECT_FALSE(refused.started);
  EXPECT_EQ(refused.error, sys::kErrorCancelled);
  EXPECT_TRUE(p.ShellRunAndWait({"open", "C:\\comp.exe", "", "", 1, false}).started);
  auto lines = host.Journal();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]["started"], false);
  EXPECT_EQ(lines[0]["error"], 1223);
}

TEST(SandboxJournal, QuestionsTakeTheScriptThenTheDefault) {
  SandboxHost host;
  sys::sandbox::SandboxPlatform& p = host.platform();
  EXPECT_EQ(p.ShowMessageBox("继续吗？", "“产品”安装向导", sys::kMbYesNo | sys::kMbIconQuestion), sys::kIdNo);
  p.SetAnswers({sys::kIdYes, sys::kIdNo, sys::kIdYes});
  EXPECT_EQ(p.ShowMessageBox("q1", "c", sys::kMbYesNo), sys::kIdYes);
  // An information box has one button and leaves the script alone.
  EXPECT_EQ(p.ShowMessageBox("info", "c", sys::kMbOk | sys::kMbIconInformation), sys::kIdOk);
  EXPECT_EQ(p.ShowMessageBox("q2", "c", sys::kMbYesNo), sys::kIdNo);
  EXPECT_EQ(p.ShowMessageBox("q3", "c", sys::kMbYesNo), sys::kIdYes);
  EXPECT_EQ(p.ShowMessageBox("q4", "c", sys::kMbYesNo), sys::kIdNo);

  auto lines = host.Journal();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0]["op"], "messageBox");
  EXPECT_EQ(lines[0]["text"], GbkToUtf8("继续吗？"));
  EXPECT_EQ(lines[0]["caption"], GbkToUtf8("“产品”安装向导"));
  EXPECT_EQ(lines[0]["style"], 0x24);
  EXPECT_EQ(lines[0]["answer"], sys::kIdNo);
  EXPECT_EQ(lines[2]["style"], 0x40);
  EXPECT_EQ(lines[2]["answer"], sys::kIdOk);
}

TEST(SandboxJournal, PinVerbOfAChineseShellIsCarriedOut) {
  SandboxHost host;
  sys::sandbox::SandboxPlatform& p = host.platform();
  std::string link = "C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch\\App.lnk";
  ASSERT_TRUE(p.ForceDirectories(sys::ExtractFilePath(link)));
  ASSERT_TRUE(p.WriteShellLink(link, sys::ShellLink{"C:\\App.exe", "", "", "C:\\", 1}));
  std::vector<std::string> offered;
  p.ForEachShellVerb(link, [&](const std::string& name) {
    offered.push_back(name);
    return name.find("锁定到任务栏") != std::string::npos;
  });
  EXPECT_EQ(offered.size(), p.machine().shellVerbs.size());
  auto lines = host.Journal();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]["op"], "shellVerb");
  EXPECT_EQ(lines[0]["verb"], GbkToUtf8("锁定到任务栏(&K)"));
  EXPECT_EQ(lines[0]["path"], link);
}

TEST(SandboxJournal, AnEnglishShellOffersNoChinesePinVerb) {
  SandboxHost host;
  sys::sandbox::SandboxPlatform& p = host.platform();
  p.SetShellVerbs(sys::sandbox::EnglishShellVerbs());
  ASSERT_TRUE(p.WriteShellLink("C:\\App.lnk", sys::ShellLink{"C:\\App.exe", "", "", "C:\\", 1}));
  p.ForEachShellVerb("C:\\App.lnk", [](const std::string& name) { return name.find("锁定到任务栏") != std::string::npos; });
  EXPECT_TRUE(host.Journal().empty());
}

TEST(SandboxJournal, RestartRequestsAreJournalled) {
  SandboxHost host;
  EXPECT_TRUE(host.platform().EnableShutdownPrivilege());
  EXPECT_TRUE(host.platform().RestartSystem(2));
  auto lines = host.Journal();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]["op"], "shutdownPrivilege");
  EXPECT_EQ(lines[1]["op"], "restart");
  EXPECT_EQ(lines[1]["flags"], 2);
}

TEST(SandboxJournal, RemovalsAtRestartAreJournalledNormalisedAndNotCarriedOut) {
  SandboxHost host;
  host.WriteFile("C:\\App\\程序.dll", "in use");
  EXPECT_TRUE(host.platform().RemoveAtRestart("c:/app/./程序.dll"));
  auto lines = host.Journal();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]["op"], "removeAtRestart");
  EXPECT_EQ(lines[0]["path"], sys::sandbox::GbkToUtf8("C:\\app\\程序.dll"));
  EXPECT_EQ(host.ReadFile("C:\\App\\程序.dll"), "in use");
}

TEST(SandboxJournal, TextThatIsNotGbkIsStillJournalled) {
  SandboxHost host;
  EXPECT_TRUE(host.platform().RunCommandLine("bad\xff\xfe", 1));
  auto lines = host.Journal();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]["commandLine"], "bad\\xFF\\xFE");
}

}  // namespace
