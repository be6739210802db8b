#include <gtest/gtest.h>

#include "package/Options.h"
#include "package/uSystem.h"
#include "package/uTypes.h"
#include "system/Platform.h"
#include "tests/package/PackageTestUtil.h"
#include "tests/support/PackageBuilder.h"
#include "tests/support/host/SandboxHost.h"
#include "undo/uUnInstall.h"

namespace {

class Options : public testing::Test {
 protected:
  TCompile& Load(testsupport::PackageBuilder& builder) {
    builder.WriteTo(host.platform(), "C:\\setup.exe");
    compile.LoadPackage("C:\\setup.exe");
    return compile;
  }

  testsupport::SandboxHost host;
  sys::ScopedCurrentPlatform current{host.platform()};
  TCompile compile{host.platform()};
};

TEST_F(Options, DefaultsWithoutSettings) {
  testsupport::PackageBuilder b;
  const TInstallData& o = Load(b).Options;
  EXPECT_EQ(o.ShowWizard, 1);
  EXPECT_EQ(o.CreateStartMenu, 1);
  EXPECT_EQ(o.DesktopIcon, 0);
  EXPECT_EQ(o.QuickLaunchIcon, 0);
  EXPECT_EQ(o.RunApp, 0);
  EXPECT_EQ(o.ShowReadme, 0);
  EXPECT_EQ(o.InstallDir, "");
}

TEST_F(Options, OnlyExactlyEnabledSwitchesTheWizardAndOnlyInGroupZero) {
  struct Case {
    std::string value;
    uint8_t group;
    uint8_t expected;
  };
  const Case cases[] = {{"启用", 0, 1}, {"禁用", 0, 0}, {"启用 ", 0, 0}, {"", 0, 0}, {"禁用", 1, 1}};
  for (const Case& c : cases) {
    testsupport::PackageBuilder b;
    b.Setting(package::kCaptionShowWizard, c.value, c.group);
    TCompile fresh(host.platform());
    b.WriteTo(host.platform(), "C:\\setup.exe");
    fresh.LoadPackage("C:\\setup.exe");
    EXPECT_EQ(fresh.Options.ShowWizard, c.expected) << c.value << " group " << int(c.group);
  }
}

TEST_F(Options, TasksStartMenuAndFinishPageSettings) {
  testsupport::PackageBuilder b;
  b.Setting("创建桌面快捷方式", "启用", package::kGroupTasks)
      .Setting("创建快速启栏快捷方式", "禁用", package::kGroupTasks)
      .Setting("创建桌面快捷方式", "启用", package::kGroupWelcome)  // other group: ignored
      .Setting("默认文件夹名称", "第一", package::kGroupStartMenu)
      .Setting("默认文件夹名称", "示例程序", package::kGroupStartMenu)
      .Setting("应用程序文件", "X:\\src\\app.exe", package::kGroupFinish)
      .Setting("readme文件", "", package::kGroupFinish);
  const TInstallData& o = Load(b).Options;
  EXPECT_EQ(o.DesktopIcon, 1);
  EXPECT_EQ(o.QuickLaunchIcon, 0);
  EXPECT_EQ(o.StartMenuFolder, "示例程序");
  EXPECT_EQ(o.RunApp, 1);
  EXPECT_EQ(o.AppFile, "X:\\src\\app.exe");
  EXPECT_EQ(o.ShowReadme, 0);
  EXPECT_EQ(o.ReadmeFile, "");
}

TEST_F(Options, InstallDirIsExpandedFromTheDefaultPath) {
  testsupport::PackageBuilder b;
  b.Setting("默认安装路径", "[System ProgramFiles]\\示例", package::kGroupInstallDir);
  EXPECT_EQ(Load(b).Options.InstallDir, "C:\\Program Files\\示例");
}

TEST_F(Options, PatchTakesTheFolderOfTheInstalledProduct) {
  const std::string serial = "11111111-2222-3333-4444-555555555555";
  host.platform()
      .OpenKey(sys::kHkeyLocalMachine, package::UninstallKeyPath(serial), true)
      ->WriteString("Install Dir", "D:\\Installed\\示例");
  testsupport::PackageBuilder b;
  b.Setting("Patch", "1")
      .Setting("默认安装路径", "C:\\Other", package::kGroupInstallDir)
      .Serial(serial);
  TCompile& c = Load(b);
  EXPECT_TRUE(c.Patched);
  EXPECT_EQ(c.Options.InstallDir, "D:\\Installed\\示例");
}

TEST_F(Options, PatchReadsARegistrationItMayNotWrite) {
  // A run without raised rights: HKEY_LOCAL_MACHINE can be read but not opened for writing.
  const std::string serial = "11111111-2222-3333-4444-666666666666";
  host.platform()
      .OpenKey(sys::kHkeyLocalMachine, package::UninstallKeyPath(serial), true)
      ->WriteString("Install Dir", "D:\\Installed\\只读");
  host.platform().InjectRegistryFault(sys::kHkeyLocalMachine, package::UninstallKeyPath(serial),
                                      sys::sandbox::RegistryFault::DenyAccess);
  testsupport::PackageBuilder b;
  b.Setting("Patch", "1")
      .Setting("默认安装路径", "C:\\Other", package::kGroupInstallDir)
      .Serial(serial);
  EXPECT_EQ(Load(b).Options.InstallDir, "D:\\Installed\\只读");
}

TEST_F(Options, PatchWithoutRegistrationHasNoFolder) {
  testsupport::PackageBuilder b;
  b.Setting("Patch", "True").Setting("默认安装路径", "C:\\Other", package::kGroupInstallDir);
  EXPECT_EQ(Load(b).Options.InstallDir, "");
}

TEST_F(Options, TotalSizeAddsTheComponents) {
  TCompile c(host.platform());
  c.Size = 100;
  for (int64_t size : {10, 20}) {
    auto comp = std::make_unique<TCompileCompData>();
    comp->CompSize = size;
    c.CompList.push_back(std::move(comp));
  }
  c.ComputeTotalSize();
  EXPECT_EQ(c.Options.TotalSize, 130);
}

TEST_F(Options, AbsurdSizesSaturateInsteadOfOverflowing) {
  TCompile c(host.platform());
  c.Size = INT64_MAX - 5;
  auto comp = std::make_unique<TCompileCompData>();
  comp->CompSize = 100;
  c.CompList.push_back(std::move(comp));
  c.ComputeTotalSize();
  EXPECT_EQ(c.Options.TotalSize, INT64_MAX);
}

TEST_F(Options, GroupItemsAreTheRecordsOfThatGroupInOrder) {
  testsupport::PackageBuilder b;
  b.Setting("a", "1", 6).Setting("b", "2", 7).Setting("c", "3", 6);
  TCompile& c = Load(b);
  std::vector<TCompileData*> items{nullptr};
  c.GetGroupItems(6, items);
  EXPECT_EQ(items, (std::vector<TCompileData*>{c.InfoList[0].get(), c.InfoList[2].get()}));
  c.GetGroupItems(4, items);
  EXPECT_TRUE(items.empty());
}

TEST_F(Options, SpecialCaptionsApplyInAnyGroupExactlyAndLaterWins) {
  testsupport::PackageBuilder b;
  b.Setting("项目名称", "第一", 0)
      .Setting("项目名称", "第二", 5)  // any group counts, the later item wins
      .Setting("作者名称", "作者", 12)
      .Setting("Patch", "1", 3)
      .Setting("patch", "0", 0)  // not exactly "Patch": only an ordinary setting
      .Setting("安装完成后弹出信息提示", "你好", 9);
  TCompile& c = Load(b);
  EXPECT_EQ(c.ItemName, "第二");
  EXPECT_EQ(c.Author, "作者");
  EXPECT_TRUE(c.Patched);
  EXPECT_EQ(c.Options.FinishHint, "你好");
  EXPECT_EQ(c.InfoList.size(), 6u);
}

TEST_F(Options, LastNonEmptyOccurrenceOfPathSettingsWins) {
  testsupport::PackageBuilder b;
  b.Setting("默认安装路径", "C:\\First", package::kGroupInstallDir)
      .Setting("默认安装路径", "D:\\Second", package::kGroupInstallDir)
      .Setting("默认安装路径", "C:\\Elsewhere", package::kGroupTasks)  // other group: ignored
      .Setting("应用程序文件", "X:\\a.exe", package::kGroupFinish)
      .Setting("应用程序文件", "X:\\b.exe", package::kGroupFinish)
      .Setting("应用程序文件", "", package::kGroupFinish);  // empty: leaves the earlier choice
  const TInstallData& o = Load(b).Options;
  EXPECT_EQ(o.InstallDir, "D:\\Second");
  EXPECT_EQ(o.RunApp, 1);
  EXPECT_EQ(o.AppFile, "X:\\b.exe");
}

TEST(Vocabulary, BackgroundPictureIsEntryTwentyOfTheFlatBasicTable) {
  // The background window reads the caption by this position, not by name.
  EXPECT_STREQ(package::BasicSettings[package::kBackPictureEntry], "安装背景图片");
  EXPECT_STREQ(package::BasicSettings[package::kBackPictureEntry + 1], "BackPicture");
  EXPECT_STREQ(package::BasicSettings[0], "项目名称");
  EXPECT_STREQ(package::BasicSettings[1], "Name");
  EXPECT_STREQ(package::BasicSettings[14], "显示安装界面");
  EXPECT_STREQ(package::BasicSettings[2 * package::kBasicSettingCount - 1], "HintMsg");
}

TEST(ReadBoolean, NumbersAndWords) {
  EXPECT_TRUE(package::ReadBoolean("1"));
  EXPECT_TRUE(package::ReadBoolean("-2"));
  EXPECT_TRUE(package::ReadBoolean("0.5"));
  EXPECT_FALSE(package::ReadBoolean("0"));
  EXPECT_FALSE(package::ReadBoolean(" 0 "));
  EXPECT_TRUE(package::ReadBoolean("tRUE"));
  EXPECT_FALSE(package::ReadBoolean("FALSE"));
  // Fractions and exponents as a number reads them, zero in any spelling false.
  for (const char* yes : {".5", "5.", "+1", "1e+2", "2E-5", "0.001e3", "1e308", "9e-323"})
    EXPECT_TRUE(package::ReadBoolean(yes)) << yes;
  for (const char* no : {"0.000", "-0", "0e99999999999999999999", ".0"})
    EXPECT_FALSE(package::ReadBoolean(no)) << no;
  for (const char* bad : {"", "yes", "1x", "inf", "nan", "启用", ".", "1e", "1e+", "--1", "1.2.3",
                          "1 0", "1e309", "1e-400", "0x10"})
    EXPECT_EQ(packagetest::ErrorOf([&] { package::ReadBoolean(bad); }),
              std::string("'") + bad + "' is not a valid boolean value");
}

TEST(ProjectEvents, ReportsOnlyWhenAssigned) {
  testsupport::SandboxHost host;
  TCompile c(host.platform());
  c.ReportStatus("nobody listens");
  std::vector<std::string> seen;
  c.OnCompile = [&](const std::string& file, const std::string& hint, int64_t pos, int64_t max) {
    seen.push_back(file + "|" + hint + "|" + std::to_string(pos) + "/" + std::to_string(max));
  };
  c.ReportStatus("正在创建目录");
  c.ReportProgress("C:\\a.exe", "安装文件", 2, 5);
  EXPECT_EQ(seen, (std::vector<std::string>{"|正在创建目录|-1/-1", "C:\\a.exe|安装文件|2/5"}));
}

TEST_F(Options, BasicSettingsAreFoundIgnoringAsciiCaseInGroupZeroOnly) {
  testsupport::PackageBuilder b;
  b.Setting("背景图片", "page picture", 2).Setting("Patch", "0").Setting("patch", "1", 0);
  Load(b);
  EXPECT_EQ(FindBasicSetting(compile, "背景图片"), nullptr);
  const TCompileData* first = FindBasicSetting(compile, "PATCH");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Value, "0");
  EXPECT_EQ(FindBasicSetting(compile, "显示加载进度"), nullptr);
}

}  // namespace
