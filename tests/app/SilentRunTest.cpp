// The setup program started with the administrator's switches, on the sandbox: the silent
// run shows no window and installs what the answers say, each outcome has its exit code and
// its log, one run of a product at a time, and malformed switches or answers end in 87.
#include <gtest/gtest.h>

#include "app/ProgramBody.h"
#include "system/Error.h"
#include "system/SingleRun.h"
#include "system/sandbox/FaultInjection.h"
#include "tests/app/AppFixture.h"
#include "ui/Button.h"
#include "wizard/SetupForm.h"

namespace apptest {
namespace {

constexpr const char* kDesktopLink = "C:\\Users\\user\\Desktop\\演示.lnk";
constexpr const char* kLog = "C:\\Users\\user\\Downloads\\setup.log";

class SilentRun : public AppTest {
 protected:
  SilentRun() {
    // A wizard with an install-folder page, the tasks page offering the desktop shortcut, and
    // the pages that install and finish.
    builder.Setting("显示安装背景窗口", "禁用");
    for (const char* page : {"选择安装文件夹", "附加任务", "确认安装", "安装进程", "安装完毕"}) {
      builder.Setting(page, "启用", 1);
    }
    builder.Setting("创建桌面快捷方式", "启用", 9);
    builder.Setting("应用程序文件", "X:\\src\\app.exe", 12);
    builder.AddShortcut("桌面", "演示", "X:\\src\\app.exe");
    builder.AddUninstaller("X:\\src\\uninst.exe", "MZ uninstaller");
    backend.OnIdle = [this](ui::Form& top) {
      windows.push_back(top.ClassName());
      return false;
    };
  }

  int Run(const std::string& arguments) {
    WriteSetup();
    platform().SetArguments(arguments);
    return app::RunSetupProgram(platform(), backend);
  }
  std::string Log() { return sys::sandbox::Utf8ToGbk(host.ReadFile(kLog)); }
  void WriteAnswers(const std::string& json) {
    host.WriteFile("C:\\Users\\user\\Downloads\\answers.json", json);
  }
};

TEST_F(SilentRun, InstallsTheDefaultsWithoutAnyWindowOrBoxAndLogsEachFile) {
  EXPECT_EQ(Run(std::string("/S /LOG=") + kLog), 0);
  EXPECT_TRUE(windows.empty()) << "a window reached the person's backend";
  EXPECT_TRUE(Journal("messageBox").empty());
  EXPECT_TRUE(Installed());
  EXPECT_TRUE(platform().FileExists(kDesktopLink));
  // Nothing is opened after a silent install unless the answers ask.
  EXPECT_TRUE(Journal("shellRun").empty());
  std::string log = Log();
  EXPECT_NE(log.find("[product] 演示"), std::string::npos) << log;
  EXPECT_NE(log.find("[file] C:\\Apps\\Demo\\app.exe"), std::string::npos) << log;
  EXPECT_NE(log.find("[step] 正在创建快捷方式，请稍候..."), std::string::npos) << log;
  EXPECT_NE(log.find("[exit] 0 (installed)"), std::string::npos) << log;
}

TEST_F(SilentRun, TheFolderOfDTakesTheRestOfTheLineAndOverridesALockedPage) {
  builder.Setting("允许用户修改安装路径", "禁用", 8);
  EXPECT_EQ(Run("/S /D=C:\\Program Files\\演示 软件"), 0);
  EXPECT_TRUE(platform().FileExists("C:\\Program Files\\演示 软件\\app.exe"));
  EXPECT_FALSE(Installed());
}

TEST_F(SilentRun, AnswersUntickTheDesktopShortcutAndTickTheProgramToRun) {
  WriteAnswers(R"({"pages": {"TfrmAddonsTask": {"CheckBox1": false},
                             "TfrmEndIns": {"CheckBox1": true}}})");
  EXPECT_EQ(Run("/S /ANSWERS=answers.json"), 0);
  EXPECT_TRUE(Installed());
  EXPECT_FALSE(platform().FileExists(kDesktopLink));
  auto opened = Journal("shellRun");
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0]["file"], "C:\\Apps\\Demo\\app.exe");
}

TEST_F(SilentRun, CancelOnAPageEndsWith1602AndInstallsNothing) {
  WriteAnswers(R"({"cancelOn": "TfrmReadyIns"})");
  EXPECT_EQ(Run(std::string("/S /ANSWERS=answers.json /LOG=") + kLog), 1602);
  EXPECT_FALSE(Installed());
  EXPECT_NE(Log().find("确定要退出该安装向导吗？ -> 是 (silent)"), std::string::npos) << Log();
}

TEST_F(SilentRun, AFailedInstallEndsWith1603AndTheReasonInTheLog) {
  platform().InjectFault({sys::sandbox::FaultOp::Create, "app.exe", sys::kErrorDiskFull});
  EXPECT_EQ(Run(std::string("/LOG=") + kLog + " /S"), 1603);
  EXPECT_TRUE(Journal("messageBox").empty());
  EXPECT_NE(Log().find("无法创建文件“C:\\Apps\\Demo\\app.exe”"), std::string::npos) << Log();
  EXPECT_NE(Log().find("[exit] 1603 (failed)"), std::string::npos);
}

TEST_F(SilentRun, ARestartIsOnlyDoneWhenTheAnswersAskAndNeverWithNoRestart) {
  builder.Setting("安装完成后，重启操作系统", "启用");
  EXPECT_EQ(Run("/S"), 3010) << "Enter would say yes; nobody watches";
  EXPECT_TRUE(Journal("restart").empty());

  WriteAnswers(R"({"default": "yes"})");
  EXPECT_EQ(Run("/S /NORESTART /ANSWERS=answers.json"), 3010);
  EXPECT_TRUE(Journal("restart").empty());

  EXPECT_EQ(Run("/S /ANSWERS=answers.json"), 0);
  EXPECT_EQ(Journal("restart").size(), 1u);
}

TEST_F(SilentRun, ASecondRunOfTheProductIsRefusedWith1618) {
  std::unique_ptr<sys::RunClaim> first = platform().ClaimRun(sys::ProductRunName("演示"));
  ASSERT_TRUE(first);
  EXPECT_EQ(Run("/S"), 1618);
  EXPECT_TRUE(Journal("messageBox").empty());
  EXPECT_FALSE(Installed());

  // A person is told in a box.
  EXPECT_EQ(Run("/LOG=x.log"), 1618);
  ASSERT_EQ(Journal("messageBox").size(), 1u);
  EXPECT_EQ(Journal("messageBox")[0]["text"], U8(sys::AnotherRunText("演示")));

  first.reset();
  EXPECT_EQ(Run("/S"), 0) << "the name is free again";
}

TEST_F(SilentRun, WithoutElevationItRelaunchesWithItsSwitchesAndReturnsTheCopysCode) {
  platform().SetElevated(false);
  platform().SetExitCode(3010);
  EXPECT_EQ(Run("/S /D=C:\\A B"), 3010);
  auto relaunches = Journal("shellRunAndWait");
  ASSERT_EQ(relaunches.size(), 1u);
  EXPECT_EQ(relaunches[0]["verb"], "runas");
  EXPECT_EQ(relaunches[0]["parameters"], "-1 /HANDBACK=sandbox /S /D=C:\\A B");
  EXPECT_FALSE(platform().FileExists("C:\\A B\\app.exe"));

  platform().SetElevation(false);
  EXPECT_EQ(Run("/S"), 1602) << "the prompt refused";
}

TEST_F(SilentRun, TheElevatedCopyAndAnElevatedDeploymentRunAtOnce) {
  platform().SetElevated(false);
  EXPECT_EQ(Run("-1 /S"), 0);
  platform().SetElevated(true);
  EXPECT_EQ(Run("/S"), 0);
  EXPECT_TRUE(Journal("shellRunAndWait").empty());
}

struct Refused {
  const char* arguments;
  const char* answers;  // written as answers.json when not null
  const char* logged;   // part of the log
};

void PrintTo(const Refused& refused, std::ostream* os) { *os << refused.logged; }

class RefusedRuns : public SilentRun, public testing::WithParamInterface<Refused> {};

TEST_P(RefusedRuns, EndWith87BeforeAnythingChanges) {
  if (GetParam().answers) WriteAnswers(GetParam().answers);
  EXPECT_EQ(Run(std::string(GetParam().arguments) + " /LOG=" + kLog), 87);
  EXPECT_FALSE(Installed());
  EXPECT_TRUE(Journal("messageBox").empty());
  EXPECT_NE(Log().find(GetParam().logged), std::string::npos) << Log();
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedRuns,
    testing::Values(Refused{"/S /SILENT", nullptr, "/SILENT"},
                    Refused{"/S /ANSWERS=missing.json", nullptr, "cannot be read"},
                    Refused{"/S /ANSWERS=answers.json", "{\"pages\": ", "unexpected end"},
                    Refused{"/S /ANSWERS=answers.json", "{\"pages\": {\"TfrmAddonTask\": {}}}",
                            "unknown page \"TfrmAddonTask\""},
                    Refused{"/S /ANSWERS=answers.json",
                            "{\"pages\": {\"TfrmAddonsTask\": {\"CheckBox3\": true}}}",
                            "unknown control \"CheckBox3\""},
                    Refused{"/S /ANSWERS=answers.json",
                            "{\"pages\": {\"TfrmAddonsTask\": {\"CheckBox1\": \"yes\"}}}",
                            "a text, which only an edit takes"}));

TEST_F(SilentRun, APersonIsShownTheUsageForAMalformedLineAndForTheQuestionMark) {
  EXPECT_EQ(Run("/D="), 87);
  EXPECT_EQ(Run("/?"), 0);
  auto boxes = Journal("messageBox");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0]["text"].get<std::string>().find(U8("/D= 后面没有安装文件夹")),
            std::string::npos);
  EXPECT_NE(boxes[1]["text"].get<std::string>().find(U8("退出码")), std::string::npos);
  EXPECT_FALSE(Installed());
}

TEST_F(SilentRun, APersonsRunWithSwitchesShowsTheWizardInTheFolderOfD) {
  backend.OnIdle = [this](ui::Form& top) {
    windows.push_back(top.ClassName());
    auto& frame = static_cast<TfrmParent&>(top);
    bool next = frame.bNext->Showing() && frame.bNext->EnabledInTree();
    ui::ClickButton(top, next ? "bNext" : "bCancel");
    return true;
  };
  EXPECT_EQ(Run("/D=C:\\Elsewhere"), 0);
  EXPECT_EQ(windows.front(), "TfrmParent");
  EXPECT_TRUE(platform().FileExists("C:\\Elsewhere\\app.exe"));
  EXPECT_EQ(Journal("shellRun").size(), 1u) << "a person's finish page opens the program";
}

}  // namespace
}  // namespace apptest
