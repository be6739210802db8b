// The uninstaller step: the program written from its package entry, its numbered Start-menu
// shortcut, and nothing at all for a patch.
#include "engine/UninstallerStep.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "package/uSystem.h"
#include "system/Error.h"
#include "tests/support/PackageBuilder.h"
#include "tests/support/host/SandboxHost.h"
#include "undo/uUnInstall.h"

namespace {

class UninstallerStep : public testing::Test {
 protected:
  // Writes the builder's package into memory and gives the project its FileList with offsets.
  void Load(testsupport::PackageBuilder& builder) {
    builder.WriteToStream(package_);
    for (const auto& entry : builder.project().FileList) {
      compile_.FileList.push_back(std::make_unique<TCompileFileData>(*entry));
    }
  }

  std::string Programs() { return platform_.SpecialFolder(sys::kCsidlPrograms) + "\\演示"; }

  std::string Run() { return InstallUninstaller(compile_, package_, log_); }

  testsupport::SandboxHost host_;
  sys::sandbox::SandboxPlatform& platform_ = host_.platform();
  sys::ScopedCurrentPlatform current_{host_.platform()};
  TCompile compile_{host_.platform()};
  TUnInstall log_{host_.platform()};
  sys::MemoryStream package_;
  std::vector<std::string> hints_;

  void SetUp() override {
    compile_.ItemName = "X";
    compile_.Options.InstallDir = "C:\\App";
    compile_.Options.StartMenuFolder = "演示";
    compile_.OnCompile = [this](const std::string& file, const std::string& hint, int64_t position,
                                int64_t max) {
      EXPECT_EQ(file, "");
      EXPECT_EQ(position, -1);
      EXPECT_EQ(max, -1);
      hints_.push_back(hint);
    };
    platform_.ForceDirectories("C:\\App");
    platform_.ForceDirectories(Programs());
  }
};

TEST_F(UninstallerStep, WritesTheProgramUnderItsFileNameInTheInstallFolder) {
  testsupport::PackageBuilder builder;
  builder.AddFile("D:\\build\\app.exe", "目标计算机\\Program Files\\", "APP");
  builder.AddUninstaller("D:\\build\\u.exe", std::string(20000, 'u') + "end");
  Load(builder);
  EXPECT_EQ(Run(), "C:\\App\\u.exe");
  EXPECT_EQ(host_.ReadFile("C:\\App\\u.exe"), std::string(20000, 'u') + "end");
  EXPECT_EQ(hints_, (std::vector<std::string>{"正在写入反安装信息，请稍候..."}));
  EXPECT_FALSE(platform_.FileExists("C:\\App\\app.exe"));
}

TEST_F(UninstallerStep, WithoutAStartMenuFolderNameTheShortcutGoesIntoProgramsItself) {
  compile_.Options.StartMenuFolder = "";
  testsupport::PackageBuilder builder;
  builder.AddUninstaller("D:\\build\\u.exe", "MZ");
  Load(builder);
  Run();
  const std::string link = platform_.SpecialFolder(sys::kCsidlPrograms) + "\\卸载“X”.lnk";
  EXPECT_TRUE(platform_.FileExists(link));
  ASSERT_EQ(log_.Items().size(), 1u);
  EXPECT_EQ(log_.Items()[0]->Path, link);
}

TEST_F(UninstallerStep, ShortcutPointsAtTheProgramAndIsRecordedForRemoval) {
  testsupport::PackageBuilder builder;
  builder.AddUninstaller("D:\\build\\u.exe", "MZ");
  Load(builder);
  Run();
  const std::string link = Programs() + "\\卸载“X”.lnk";
  EXPECT_TRUE(platform_.FileExists(link));
  ASSERT_EQ(log_.Items().size(), 1u);
  EXPECT_EQ(log_.Items()[0]->Path, link);
  EXPECT_EQ(log_.Items()[0]->Kind, undo::kUnInsFile);
  EXPECT_EQ(log_.Items()[0]->Remove, 1);
}

TEST_F(UninstallerStep, TakenShortcutNamesGetAccumulatingNumbers) {
  testsupport::PackageBuilder builder;
  builder.AddUninstaller("D:\\build\\u.exe", "MZ");
  Load(builder);
  Run();
  Run();
  Run();
  EXPECT_TRUE(platform_.FileExists(Programs() + "\\卸载“X”(1).lnk"));
  EXPECT_TRUE(platform_.FileExists(Programs() + "\\卸载“X”(1)(2).lnk"));
  ASSERT_EQ(log_.Items().size(), 3u);
  EXPECT_EQ(log_.Items()[2]->Path, Programs() + "\\卸载“X”(1)(2).lnk");
}

TEST_F(UninstallerStep, ShortcutIntoAMissingFolderIsStillRecorded) {
  compile_.Options.StartMenuFolder = "Nowhere";
  testsupport::PackageBuilder builder;
  builder.AddUninstaller("D:\\build\\u.exe", "MZ");
  Load(builder);
  Run();
  const std::string link = platform_.SpecialFolder(sys::kCsidlPrograms) + "\\Nowhere\\卸载“X”.lnk";
  EXPECT_FALSE(platform_.FileExists(link));
  ASSERT_EQ(log_.Items().size(), 1u);
  EXPECT_EQ(log_.Items()[0]->Path, link);
}

TEST_F(UninstallerStep, UnresolvedProgramsFolderSkipsOnlyTheShortcut) {
  platform_.SetSpecialFolder(sys::kCsidlPrograms, "");
  testsupport::PackageBuilder builder;
  builder.AddUninstaller("D:\\build\\u.exe", "MZ");
  Load(builder);
  EXPECT_EQ(Run(), "C:\\App\\u.exe");
  EXPECT_EQ(host_.ReadFile("C:\\App\\u.exe"), "MZ");
  // Nothing at the root of the drive, nothing recorded.
  EXPECT_FALSE(platform_.DirectoryExists("C:\\演示"));
  EXPECT_FALSE(platform_.FileExists("C:\\演示\\卸载“X”.lnk"));
  EXPECT_TRUE(log_.Items().empty());
}

TEST_F(UninstallerStep, TheLastOfSeveralUninstallersIsTheOneUsed) {
  testsupport::PackageBuilder builder;
  builder.AddUninstaller("D:\\build\\first.exe", "1");
  builder.AddUninstaller("D:\\build\\second.exe", "2");
  Load(builder);
  EXPECT_EQ(Run(), "C:\\App\\second.exe");
  EXPECT_EQ(host_.ReadFile("C:\\App\\first.exe"), "1");
  EXPECT_EQ(host_.ReadFile("C:\\App\\second.exe"), "2");
}

TEST_F(UninstallerStep, PackageWithoutAnUninstallerGetsNoShortcut) {
  testsupport::PackageBuilder builder;
  builder.AddFile("D:\\build\\app.exe", "目标计算机\\Program Files\\", "APP");
  Load(builder);
  EXPECT_EQ(Run(), "");
  EXPECT_TRUE(log_.Items().empty());
  EXPECT_FALSE(platform_.FileExists(Programs() + "\\卸载“X”.lnk"));
  EXPECT_EQ(hints_.size(), 1u);
}

TEST_F(UninstallerStep, PatchWritesNothingAndSaysNothing) {
  compile_.Patched = true;
  testsupport::PackageBuilder builder;
  builder.AddUninstaller("D:\\build\\u.exe", "MZ");
  Load(builder);
  EXPECT_EQ(Run(), "");
  EXPECT_FALSE(platform_.FileExists("C:\\App\\u.exe"));
  EXPECT_FALSE(platform_.FileExists(Programs() + "\\卸载“X”.lnk"));
  EXPECT_TRUE(log_.Items().empty());
  EXPECT_TRUE(hints_.empty());
}

TEST_F(UninstallerStep, NameLeadingOutOfTheInstallFolderIsADamagedPackage) {
  testsupport::PackageBuilder builder;
  builder.AddUninstaller("D:\\build\\..", "MZ");
  Load(builder);
  try {
    Run();
    FAIL() << "no error";
  } catch (const sys::Error& e) {
    EXPECT_EQ(std::string(e.what()), package::kDamagedPackage);
  }
}

TEST_F(UninstallerStep, DamagedEntryLeavesTheEarlierUninstallerInPlace) {
  host_.WriteFile("C:\\App\\u.exe", "earlier");
  testsupport::PackageBuilder builder;
  builder.AddUninstaller("D:\\build\\u.exe", std::string(30000, 'n'));
  Load(builder);
  // Spoil the second chunk's zlib data.
  std::string bytes = package_.TakeBytes();
  const TCompileFileData& entry = *compile_.FileList[0];
  uint32_t first = static_cast<unsigned char>(bytes[entry.DataStart]) |
                   static_cast<unsigned char>(bytes[entry.DataStart + 1]) << 8;
  bytes[entry.DataStart + 4 + first + 4 + 2] ^= 0x55;
  bytes[entry.DataStart + 4 + first + 4 + 3] ^= 0x55;
  package_.Write(bytes.data(), bytes.size());
  EXPECT_THROW(Run(), sys::Error);
  EXPECT_EQ(host_.ReadFile("C:\\App\\u.exe"), "earlier");
  EXPECT_EQ(host_.FolderNames("C:\\App"), std::vector<std::string>{"u.exe"});
}

}  // namespace
