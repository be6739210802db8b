// The program body: the elevated relaunch on 6.0 and later without parameters, the setup run
// otherwise, the page classes and process-wide values around it, and the error box of a run
// that fails.
#include <gtest/gtest.h>

#include <cstring>

#include "app/ProgramBody.h"
#include "system/Error.h"
#include "system/SystemHelpers.h"
#include "system/sandbox/SandboxPlatform.h"
#include "tests/app/AppFixture.h"
#include "wizard/PageRegistry.h"
#include "wizard/SetupForm.h"

namespace apptest {
namespace {

struct StartCase {
  const char* version;
  int paramCount;
  bool relaunches;
};

void PrintTo(const StartCase& c, std::ostream* os) {
  *os << "version " << c.version << ", " << c.paramCount << " parameters";
}

class StartUp : public AppTest, public testing::WithParamInterface<StartCase> {};

TEST_P(StartUp, RelaunchesElevatedOnlyWithoutParametersFromVersionSix) {
  builder.Setting("显示安装界面", "禁用");
  WriteSetup(GetParam().paramCount);
  platform().SetVersionText(GetParam().version);
  EXPECT_EQ(app::RunSetupProgram(platform(), backend), 0);

  auto relaunches = Journal("shellRunAndWait");
  if (GetParam().relaunches) {
    ASSERT_EQ(relaunches.size(), 1u);
    EXPECT_EQ(relaunches[0]["verb"], "runas");
    EXPECT_EQ(relaunches[0]["file"], kSetupExe);
    EXPECT_EQ(relaunches[0]["parameters"], "-1 /HANDBACK=sandbox");
    EXPECT_TRUE(windows.empty()) << "the first process shows nothing";
    EXPECT_FALSE(Installed());
  } else {
    EXPECT_TRUE(relaunches.empty());
    EXPECT_EQ(windows, (std::vector<std::string>{"TfrmInstall"}));
    EXPECT_TRUE(Installed());
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, StartUp,
                         testing::Values(StartCase{"6.1", 0, true}, StartCase{"6.0", 0, true},
                                         StartCase{"10.0", 0, true}, StartCase{"6.1", 1, false},
                                         StartCase{"6.2", 2, false}, StartCase{"5.1", 0, false},
                                         StartCase{"5.2", 0, false}, StartCase{"2", 0, false},
                                         StartCase{"1", 0, false}, StartCase{"0", 0, false}));

TEST_F(AppTest, TheFirstProcessEndsWithTheElevatedCopysExitCode) {
  WriteSetup(0);
  platform().SetVersionText("6.1");
  platform().SetExitCode(1);
  EXPECT_EQ(app::RunSetupProgram(platform(), backend), 1);
}

// Plays the elevated copy: it hands back the files the person chose to open at the end.
class CopyThatHandsBack : public sys::sandbox::SandboxPlatform {
 public:
  using SandboxPlatform::SandboxPlatform;
  sys::ShellOutcome ShellRunAndWait(const sys::ShellRequest& request) override {
    sys::ShellOutcome outcome = SandboxPlatform::ShellRunAndWait(request);
    HandBack({"C:\\Apps\\Demo\\app.exe", "C:\\Apps\\Demo\\说明.txt"});
    return outcome;
  }
};

TEST(HandBack, TheWaitingParentOpensWhatTheElevatedCopyHandedBackAfterItEnded) {
  testsupport::SandboxHost host;
  CopyThatHandsBack platform(host.root());
  sys::ScopedCurrentPlatform current(platform);
  platform.SetVersionText("6.1");
  platform.SetExePath(kSetupExe, 0);
  ui::HeadlessBackend backend;
  EXPECT_EQ(app::RunSetupProgram(platform, backend), 0);
  std::vector<std::string> seen;
  for (const auto& line : host.Journal())
    if (line["op"] != "handBack") seen.push_back(std::string(line["op"]) + " " + std::string(line["file"]));
  EXPECT_EQ(seen, (std::vector<std::string>{"shellRunAndWait " + std::string(kSetupExe),
                                            "shellRun C:\\Apps\\Demo\\app.exe",
                                            "shellRun " + U8("C:\\Apps\\Demo\\说明.txt")}));
}

TEST_F(AppTest, ARefusedElevationEndsSilently) {
  builder.Setting("显示安装界面", "禁用");
  WriteSetup(0);
  platform().SetVersionText("6.1");
  platform().SetElevation(false);
  EXPECT_EQ(app::RunSetupProgram(platform(), backend), 1602);
  EXPECT_TRUE(Journal("messageBox").empty());
  EXPECT_TRUE(windows.empty());
  EXPECT_FALSE(Installed());
}

TEST_F(AppTest, TheRunRegistersThePageClassesAndClearsEverythingAtTheEnd) {
  builder.Setting("显示安装背景窗口", "禁用");
  builder.Setting("附加任务", "启用", 1);
  builder.Setting("背景音乐", "C:\\Temp\\music.mid");
  host.WriteFile("C:\\Temp\\music.mid", "MThd");
  WriteSetup();
  bool sawRegistered = false;
  std::string titleDuring, musicDuring;
  backend.OnIdle = [&](ui::Form& top) {
    sawRegistered = wizard::IsPageClassRegistered("TfrmAddonsTask") &&
                    wizard::IsPageClassRegistered("TfrmReadyIns") &&
                    wizard::IsPageClassRegistered("TfrmBeginIns") &&
                    wizard::IsPageClassRegistered("TfrmEndIns");
    titleDuring = sys::WizardTitle;
    musicDuring = BackgroundMusicFile;
    platform().SetAnswers({sys::kIdYes});
    ui::CloseForm(top);
    return true;
  };
  EXPECT_EQ(app::RunSetupProgram(platform(), backend), 1602) << "the wizard was left";
  EXPECT_TRUE(sawRegistered);
  EXPECT_EQ(titleDuring, "“演示”安装向导");
  EXPECT_EQ(musicDuring, "C:\\Temp\\music.mid");
  EXPECT_FALSE(wizard::IsPageClassRegistered("TfrmAddonsTask"));
  EXPECT_TRUE(sys::WizardTitle.empty());
  EXPECT_TRUE(BackgroundMusicFile.empty());
  EXPECT_EQ(CurrentInstall, nullptr);
}

TEST_F(AppTest, ADamagedPackageEndsInOneChineseBoxCaptionedWithTheProductName) {
  builder.Setting("显示加载进度", "禁用");
  builder.AddResource("X:\\res\\licence.txt", std::string(30000, 'l'));
  std::string bytes = builder.Build();
  // The resource is the second entry; its first chunk follows the program's one chunk.
  const TCompileFileData& resource = *builder.project().FileList[1];
  bytes[resource.DataStart + 4] = 0;
  host.WriteFile(kSetupExe, bytes);
  platform().SetExePath(kSetupExe, 1);

  EXPECT_EQ(app::RunSetupProgram(platform(), backend), 1603);
  auto boxes = Journal("messageBox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["caption"], U8("“演示”安装向导"));
  EXPECT_EQ(boxes[0]["text"], U8("安装程序已损坏或不完整，无法继续安装。请重新下载安装程序。"));
  EXPECT_EQ(boxes[0]["style"], 0x10);
  EXPECT_TRUE(windows.empty()) << "no window after a damaged package";
  EXPECT_FALSE(Installed());
}

TEST_F(AppTest, ADamagedConfigurationIsReportedUnderAPlainTitle) {
  std::string bytes = builder.Build();
  // The trailer's directory offset points at the configuration; break its first zlib header.
  uint32_t config = 0;
  std::memcpy(&config, bytes.data() + bytes.size() - 8, 4);
  bytes[config + 4] = 0;
  host.WriteFile(kSetupExe, bytes);
  platform().SetExePath(kSetupExe, 1);

  EXPECT_EQ(app::RunSetupProgram(platform(), backend), 1603);
  auto boxes = Journal("messageBox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["caption"], U8("安装程序"));
  EXPECT_EQ(boxes[0]["text"], U8("安装程序已损坏或不完整，无法继续安装。请重新下载安装程序。"));
}

TEST_F(AppTest, AFailedInstallInAWindowIsReportedAndEndsWith1603) {
  builder.Setting("显示安装界面", "禁用");
  WriteSetup();
  platform().InjectFault({sys::sandbox::FaultOp::Create, "app.exe", sys::kErrorAccessDenied});
  backend.OnIdle = [&](ui::Form& top) {
    if (top.Tag() == 0) return false;
    ui::CloseForm(top);
    return true;
  };
  EXPECT_EQ(app::RunSetupProgram(platform(), backend), 1603);
  auto boxes = Journal("messageBox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["text"], U8("安装没有完成：无法创建文件“C:\\Apps\\Demo\\app.exe”。"));
  EXPECT_EQ(boxes[0]["caption"], U8("“演示”安装向导"));
}

}  // namespace
}  // namespace apptest
