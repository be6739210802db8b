// The actions after the install: opening the chosen files, the restart question and restart.
#include "engine/FinishActions.h"

#include <gtest/gtest.h>

#include "package/uSystem.h"
#include "system/sandbox/Encoding.h"
#include "tests/support/host/SandboxHost.h"

namespace {

class FinishActions : public testing::Test {
 protected:
  FinishActions() { compile.ItemName = "演示"; }

  std::vector<std::string> Ops() const {
    std::vector<std::string> ops;
    for (const auto& line : host.Journal()) ops.push_back(line["op"]);
    return ops;
  }

  testsupport::SandboxHost host;
  sys::ScopedCurrentPlatform current{host.platform()};
  TCompile compile{host.platform()};
};

TEST_F(FinishActions, ChosenFilesOpenWithTheirFolderAsWorkingFolder) {
  compile.Options.RunApp = 1;
  compile.Options.AppFile = "C:\\App\\bin\\app.exe";
  compile.Options.ReadmeFile = "C:\\App\\readme.txt";  // ShowReadme off: not opened
  engine::OpenChosenFiles(compile);
  auto journal = host.Journal();
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_EQ(journal[0]["op"], "shellRun");
  EXPECT_EQ(journal[0]["verb"], "Open");
  EXPECT_EQ(journal[0]["file"], "C:\\App\\bin\\app.exe");
  EXPECT_EQ(journal[0]["directory"], "C:\\App\\bin\\");
  EXPECT_EQ(journal[0]["parameters"], "");
}

// Opened by the elevated copy, the application would run as administrator, through file
// associations the user controls; the parent that waits for the copy opens them as the person.
TEST_F(FinishActions, AnElevatedCopyWithAWaitingParentHandsTheChosenFilesBack) {
  compile.Options.RunApp = 1;
  compile.Options.AppFile = "C:\\App\\bin\\app.exe";
  compile.Options.ShowReadme = 1;
  compile.Options.ReadmeFile = "C:\\App\\readme.txt";
  host.platform().CreateHandBack();
  engine::OpenChosenFiles(compile);
  EXPECT_EQ(Ops(), std::vector<std::string>{"handBack"});

  engine::OpenHandedBackFiles(host.platform());
  auto journal = host.Journal();
  ASSERT_EQ(Ops(), (std::vector<std::string>{"handBack", "shellRun", "shellRun"}));
  EXPECT_EQ(journal[1]["file"], "C:\\App\\bin\\app.exe");
  EXPECT_EQ(journal[1]["directory"], "C:\\App\\bin\\");
  EXPECT_EQ(journal[2]["file"], "C:\\App\\readme.txt");
  engine::OpenHandedBackFiles(host.platform());
  EXPECT_EQ(Ops().size(), 3u) << "what was handed back is opened once";
}

TEST_F(FinishActions, RestartAsksOnlyForTheExactSwitchAndRestartsOnYes) {
  compile.Options.RebootText = "启用 ";
  engine::OfferRestart(compile);
  EXPECT_TRUE(Ops().empty());

  compile.Options.RebootText = "启用";
  engine::OfferRestart(compile);  // the machine answers No by default
  EXPECT_EQ(Ops(), std::vector<std::string>{"messageBox"});

  host.platform().SetAnswers({sys::kIdYes});
  engine::OfferRestart(compile);
  EXPECT_EQ(Ops(), (std::vector<std::string>{"messageBox", "messageBox", "shutdownPrivilege", "restart"}));
  EXPECT_EQ(host.Journal().back()["flags"], 2);
  EXPECT_EQ(host.Journal()[0]["text"],
            sys::sandbox::GbkToUtf8("“演示”安装向导需要重启操作系统，方可完成安装。要自动重启吗？"));
}

TEST_F(FinishActions, OutsideTheNtFamilyTheRestartNeedsNoPrivilege) {
  host.platform().SetVersionText("2");
  RestartSystem();
  EXPECT_EQ(Ops(), std::vector<std::string>{"restart"});
}

}  // namespace
