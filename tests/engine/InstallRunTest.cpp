#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/InstallFixture.h"
#include "undo/uUnInstall.h"

namespace enginetest {
namespace {

constexpr const char* kProgramFiles = "目标计算机\\Program Files\\";

class InstallRun : public InstallTest {};

TEST_F(InstallRun, LogAndRegistrationPointAtTheUninstaller) {
  builder.AddFile("X:\\src\\app.exe", kProgramFiles, "app");
  builder.AddUninstaller("D:\\build\\u.exe", "MZ-uninstaller");
  LoadAndInstall("C:\\App");
  EXPECT_EQ(Read("C:\\App\\u.exe"), "MZ-uninstaller");
  InsLog log = Log("C:\\App\\Ins.log");
  EXPECT_EQ(log.itemName, "X");
  EXPECT_EQ(log.serial, builder.serial());
  EXPECT_EQ(log.Count("C:\\App\\app.exe", 0), 1u);
  EXPECT_EQ(log.Count("C:\\App\\u.exe", 0), 0u);
  EXPECT_FALSE(Exists(kWorkingFolderLog));
  auto uninstall =
      Value(sys::kHkeyLocalMachine, package::UninstallKeyPath(builder.serial()), "UninstallString");
  ASSERT_TRUE(uninstall.has_value());
  EXPECT_EQ(uninstall->data, "\"C:\\App\\u.exe\"");
}

TEST_F(InstallRun, WithoutUninstallerTheLogHasTheBareNameInTheWorkingFolder) {
  builder.AddFile("X:\\src\\app.exe", kProgramFiles, "app");
  LoadAndInstall("C:\\App");
  EXPECT_FALSE(Exists("C:\\App\\Ins.log"));
  EXPECT_EQ(Log().Count("C:\\App\\app.exe", 0), 1u);
  EXPECT_EQ(
      Value(sys::kHkeyLocalMachine, package::UninstallKeyPath(builder.serial()), "UninstallString")
          ->data,
      "");
}

TEST_F(InstallRun, PatchStopsAfterRegistrationAndSavesNoLog) {
  builder.AddFile("X:\\src\\core.dll", kProgramFiles, "patched").IsComponent = 1;
  builder.AddUninstaller("D:\\build\\u.exe", "MZ");
  builder.AddRegValue("目标计算机\\HKEY_CURRENT_USER\\Software\\P", "v", "1");
  builder.AddShortcut("桌面", "P", "X:\\src\\core.dll");
  TCompile& c = Load("C:\\App");
  c.Patched = true;
  c.Options.DesktopIcon = 1;
  Install();
  EXPECT_EQ(Read("C:\\App\\core.dll"), "patched");
  EXPECT_EQ(CommandLines(), std::vector<std::string>{"regsvr32.exe /s \"C:\\App\\core.dll\""});
  EXPECT_FALSE(Exists("C:\\App\\Ins.log"));
  EXPECT_FALSE(Exists(kWorkingFolderLog));
  EXPECT_FALSE(Exists("C:\\App\\u.exe"));
  EXPECT_FALSE(platform().KeyExists(sys::kHkeyCurrentUser, "Software\\P"));
  EXPECT_FALSE(
      platform().KeyExists(sys::kHkeyLocalMachine, package::UninstallKeyPath(builder.serial())));
  EXPECT_FALSE(Exists(platform().SpecialFolder(sys::kCsidlDesktop) + "\\P.lnk"));
}

TEST_F(InstallRun, PatchIsNotRefusedForAnUninstallerNameItNeverWrites) {
  builder.AddFile("X:\\src\\core.dll", kProgramFiles, "patched");
  builder.AddUninstaller("D:\\build\\", "MZ");
  Load("C:\\App").Patched = true;
  Install();
  EXPECT_EQ(Read("C:\\App\\core.dll"), "patched");
}

TEST_F(InstallRun, StepsAnnounceThemselvesInRunOrder) {
  builder.AddFile("X:\\src\\x.dll", kProgramFiles, "x").IsComponent = 1;
  builder.AddUninstaller("D:\\build\\u.exe", "MZ");
  builder.AddRegValue("目标计算机\\HKEY_CURRENT_USER\\Software\\P", "v", "1");
  builder.AddShortcut("开始菜单", "P", "X:\\src\\x.dll");
  TCompile& c = Load();
  c.Options.StartMenuFolder = "X";
  Install();
  std::vector<std::string> expected{
      "正在创建安装文件夹，请稍候...", "正在注册组件“C:\\Apps\\T\\x.dll”，请稍候",
      "正在写入注册表信息，请稍候",     "正在创建快捷方式，请稍候...",
      "正在写入反安装信息，请稍候..."};
  EXPECT_EQ(Hints(), expected);
  for (const auto& r : reports) {
    if (r.position == -1) {
      EXPECT_EQ(r.fileName, "");
    }
  }
}

TEST_F(InstallRun, SecondInstallKeepsTheEarlierRecordsOnceAndNumbersTheShortcut) {
  builder.AddFile("X:\\src\\app.exe", "目标计算机\\Program Files\\Bin", "app");
  builder.AddUninstaller("D:\\build\\u.exe", "MZ");
  const std::string menu = platform().SpecialFolder(sys::kCsidlPrograms) + "\\X\\";
  for (int run = 0; run < 3; ++run) {
    Load("C:\\Apps\\T").Options.StartMenuFolder = "X";
    Install();
  }
  InsLog log = Log("C:\\Apps\\T\\Ins.log");
  EXPECT_EQ(log.Count("C:\\Apps", 1), 1u);
  EXPECT_EQ(log.Count("C:\\Apps\\T\\Bin", 1), 1u);
  EXPECT_EQ(log.Count("C:\\Apps\\T\\Bin\\app.exe", 0), 1u);
  EXPECT_EQ(log.Count(menu + "卸载“X”.lnk", 0), 1u);
  EXPECT_EQ(log.Count(menu + "卸载“X”(1).lnk", 0), 1u);
  EXPECT_EQ(log.Count(menu + "卸载“X”(1)(2).lnk", 0), 1u);
  EXPECT_TRUE(Exists(menu + "卸载“X”(1)(2).lnk"));
}

// A write to "C:\\NUL\\app.exe" or into "COM1.dir" goes to a device on Windows.
TEST_F(InstallRun, DeviceNameInAFilesDestinationIsDamageAndChangesNothing) {
  builder.AddFile("X:\\src\\a.exe", kProgramFiles, "a");
  builder.AddFile("X:\\src\\app.exe", "指定目录\\C:\\NUL\\", "app");
  Load("C:\\App");
  EXPECT_EQ(InstallError(), package::kDamagedPackage);
  EXPECT_FALSE(platform().DirectoryExists("C:\\App"));
}

TEST_F(InstallRun, DeviceNameInAFolderEntryIsDamageAndChangesNothing) {
  builder.AddFolder("COM1.dir", kProgramFiles);
  Load("C:\\App");
  EXPECT_EQ(InstallError(), package::kDamagedPackage);
  EXPECT_FALSE(platform().DirectoryExists("C:\\App"));
}

// A folder made below "C:\\" would inherit an access list that lets every user replace the
// uninstaller or Ins.log; the first level the run creates gets Program Files' protection.
class InstallFolder : public InstallTest {
 protected:
  std::vector<std::string> Protected() {
    std::vector<std::string> paths;
    for (const auto& line : host.Journal())
      if (line["op"] == "protectedFolder") paths.push_back(line["path"]);
    return paths;
  }
};

TEST_F(InstallFolder, TheFirstLevelCreatedOutsideProgramFilesIsProtectedAndLogged) {
  builder.AddFile("X:\\src\\app.exe", kProgramFiles, "app");
  builder.AddUninstaller("D:\\build\\u.exe", "MZ");
  LoadAndInstall("C:\\Apps\\Tool\\bin");
  EXPECT_EQ(Protected(), std::vector<std::string>{"C:\\Apps"});
  EXPECT_EQ(Read("C:\\Apps\\Tool\\bin\\app.exe"), "app");
  InsLog log = Log("C:\\Apps\\Tool\\bin\\Ins.log");
  EXPECT_EQ(log.Count("C:\\Apps", 1), 1u);
  EXPECT_EQ(log.Count("C:\\Apps\\Tool", 1), 1u);
}

TEST_F(InstallFolder, FoldersThatExistOrLieInProgramFilesKeepWhatTheyHave) {
  builder.AddFile("X:\\src\\app.exe", kProgramFiles, "app");
  platform().ForceDirectories("C:\\Apps");
  LoadAndInstall("C:\\Apps");
  Load("C:\\Program Files\\Tool");
  Install();
  EXPECT_TRUE(Protected().empty());
  EXPECT_EQ(Read("C:\\Program Files\\Tool\\app.exe"), "app");
}

}  // namespace
}  // namespace enginetest
