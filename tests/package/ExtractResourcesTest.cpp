#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "package/uSystem.h"
#include "system/Error.h"
#include "system/Platform.h"
#include "system/sandbox/SandboxPlatform.h"
#include "tests/package/PackageTestUtil.h"
#include "tests/support/PackageBuilder.h"
#include "tests/support/host/SandboxHost.h"

namespace {

const std::string kTemp = "C:\\Users\\user\\AppData\\Local\\Temp\\";

class ExtractResources : public testing::Test {
 protected:
  // Writes the builder's package, loads it and unpacks its resources.
  void Extract(testsupport::PackageBuilder& builder, const TExtractProgress& progress = {}) {
    builder.WriteTo(host.platform(), "C:\\setup.exe");
    compile.LoadPackage("C:\\setup.exe");
    auto source = host.platform().OpenForRead("C:\\setup.exe");
    compile.ExtractResources(*source, progress);
  }
  // The run's own folder for unpacked files, with its trailing backslash.
  std::string Folder() const { return compile.ResourceFolder(); }

  testsupport::SandboxHost host;
  TCompile compile{host.platform()};
};

TEST_F(ExtractResources, PutsEachKindInItsFolder) {
  testsupport::PackageBuilder b;
  b.AddFile("X:\\src\\app.exe", "目标计算机\\Program Files\\", "app");
  b.AddRegFile("X:\\reg\\设置.reg", "REGEDIT4");
  b.AddResource("X:\\res\\title.bmp", "BMP");
  b.AddUninstaller("X:\\un\\uninst.exe", "UN");
  b.AddFolder("Data", "目标计算机\\Program Files\\");
  Extract(b);
  EXPECT_EQ(compile.FileList[0]->SourcePath, "X:\\src\\app.exe");
  EXPECT_EQ(compile.FileList[1]->SourcePath, Folder() + "Reg\\设置.reg");
  EXPECT_EQ(compile.FileList[2]->SourcePath, Folder() + "Info\\title.bmp");
  EXPECT_EQ(compile.FileList[3]->SourcePath, "X:\\un\\uninst.exe");
  EXPECT_EQ(host.ReadFile(Folder() + "Reg\\设置.reg"), "REGEDIT4");
  EXPECT_EQ(host.ReadFile(Folder() + "Info\\title.bmp"), "BMP");
  EXPECT_EQ(compile.TempFiles, (TStringList{Folder() + "Reg\\设置.reg", Folder() + "Info\\title.bmp"}));
}

TEST_F(ExtractResources, ComponentFileKeepsItsPathBelowTheComponentFolder) {
  testsupport::PackageBuilder b;
  b.AddComponentFile("Comp1", "X:\\pkg\\comp", "X:\\pkg\\comp\\sub\\a.dll", "DLL");
  Extract(b);
  const TCompileFileData& e = *compile.FileList[0];
  EXPECT_EQ(e.SourcePath, Folder() + "Comp\\Comp1\\\\sub\\a.dll");
  EXPECT_EQ(e.DestFolder, Folder() + "Comp\\Comp1");
  EXPECT_EQ(host.ReadFile(Folder() + "Comp\\Comp1\\sub\\a.dll"), "DLL");
}

TEST_F(ExtractResources, RewritesEverySettingThatNamesTheResource) {
  testsupport::PackageBuilder b;
  b.Setting("标题图片", "x:\\RES\\title.bmp", 3).Setting("标题图片", "X:\\res\\title.bmp", 8)
      .Setting("标题图片", "X:\\res\\other.bmp", 9).Setting("X:\\res\\title.bmp", "caption only", 9);
  b.AddResource("X:\\res\\title.bmp", "BMP");
  Extract(b);
  EXPECT_EQ(compile.InfoList[0]->Value, Folder() + "Info\\title.bmp");
  EXPECT_EQ(compile.InfoList[1]->Value, Folder() + "Info\\title.bmp");
  EXPECT_EQ(compile.InfoList[2]->Value, "X:\\res\\other.bmp");
  EXPECT_EQ(compile.InfoList[3]->Value, "caption only");
}

TEST_F(ExtractResources, OnlyPageResourcesRewriteSettings) {
  testsupport::PackageBuilder b;
  b.Setting("协议文件", "X:\\reg\\a.reg", 3).Setting("标题图片", "X:\\pkg\\c\\t.bmp", 3);
  b.AddRegFile("X:\\reg\\a.reg", "REGEDIT4");
  b.AddComponentFile("C1", "X:\\pkg\\c", "X:\\pkg\\c\\t.bmp", "BM");
  Extract(b);
  EXPECT_EQ(compile.FileList[0]->SourcePath, Folder() + "Reg\\a.reg");
  EXPECT_EQ(compile.InfoList[0]->Value, "X:\\reg\\a.reg");
  EXPECT_EQ(compile.InfoList[1]->Value, "X:\\pkg\\c\\t.bmp");
}

TEST_F(ExtractResources, ReportsEveryEntryOnce) {
  testsupport::PackageBuilder b;
  b.AddFile("X:\\a", "目标计算机\\Program Files\\", "a");
  b.AddResource("X:\\b.bmp", "b");
  b.AddFolder("F", "目标计算机\\Program Files\\");
  std::vector<std::pair<int, int>> calls;
  Extract(b, [&](int position, int max) { calls.emplace_back(position, max); });
  EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
}

TEST_F(ExtractResources, EmptyEntryGivesAnEmptyFile) {
  testsupport::PackageBuilder b;
  b.AddResource("X:\\readme.txt", "");
  Extract(b);
  EXPECT_TRUE(host.platform().FileExists(Folder() + "Info\\readme.txt"));
  EXPECT_EQ(host.ReadFile(Folder() + "Info\\readme.txt"), "");
}

TEST_F(ExtractResources, SameNameTwiceLaterWinsAndIsDeletedOnce) {
  testsupport::PackageBuilder b;
  b.AddResource("X:\\one\\pic.bmp", "first");
  b.AddResource("X:\\two\\pic.bmp", "second");
  Extract(b);
  EXPECT_EQ(host.ReadFile(Folder() + "Info\\pic.bmp"), "second");
  ASSERT_EQ(compile.TempFiles.size(), 2u);
  EXPECT_EQ(compile.TempFiles[0], compile.TempFiles[1]);
  compile.ClearTempFiles();
  EXPECT_FALSE(host.platform().FileExists(Folder() + "Info\\pic.bmp"));
  EXPECT_FALSE(host.platform().DirectoryExists(Folder()));
}

TEST_F(ExtractResources, DamagedChunkLeavesThePartialFileListed) {
  testsupport::PackageBuilder b;
  b.AddResource("X:\\big.bin", std::string(20000, 'q'));
  b.WriteTo(host.platform(), "C:\\setup.exe");
  compile.LoadPackage("C:\\setup.exe");
  const TCompileFileData& e = *compile.FileList[0];
  std::string file = host.ReadFile("C:\\setup.exe");
  file[e.DataEnd - 3] ^= 0x40;  // inside the checksum of the last chunk
  host.WriteFile("C:\\setup.exe", file);
  auto source = host.platform().OpenForRead("C:\\setup.exe");
  EXPECT_EQ(packagetest::ErrorOf([&] { compile.ExtractResources(*source); }), "error");
  EXPECT_EQ(compile.TempFiles, TStringList{Folder() + "Info\\big.bin"});
  EXPECT_EQ(host.ReadFile(Folder() + "Info\\big.bin"), std::string(16384, 'q'));
}

TEST_F(ExtractResources, UncreatableTargetStopsTheExtraction) {
  testsupport::PackageBuilder b;
  b.AddResource("X:\\a.bmp", "a");
  b.AddResource("X:\\b.bmp", "b");
  host.platform().InjectFault({sys::sandbox::FaultOp::Create, "a.bmp"});
  std::string message = packagetest::ErrorOf([&] { Extract(b); });
  EXPECT_EQ(message, sys::Format(sys::kCannotCreateFile, Folder() + "Info\\a.bmp"));
  EXPECT_FALSE(host.platform().FileExists(Folder() + "Info\\b.bmp"));
}

// The temporary folder is the user's: anything already there, or put there while the run
// waits, may be the user's doing. Each run unpacks into a folder it creates new.
TEST_F(ExtractResources, EachRunUnpacksIntoAFolderItCreatesNew) {
  testsupport::PackageBuilder b;
  b.AddResource("X:\\title.bmp", "BMP");
  Extract(b);
  TCompile second{host.platform()};
  second.LoadPackage("C:\\setup.exe");
  auto source = host.platform().OpenForRead("C:\\setup.exe");
  second.ExtractResources(*source);
  ASSERT_EQ(Folder().rfind(kTemp, 0), 0u) << Folder();
  EXPECT_GT(Folder().size(), kTemp.size() + 1);
  EXPECT_NE(Folder(), second.ResourceFolder());
  EXPECT_EQ(host.ReadFile(second.ResourceFolder() + "Info\\title.bmp"), "BMP");
}

TEST_F(ExtractResources, NeverWritesThroughALinkWhereTheOldFixedFoldersWere) {
  const std::filesystem::path elsewhere = host.Host("C:\\Windows\\System32");
  std::filesystem::create_directories(elsewhere);
  for (const char* name : {"Info", "Reg", "Comp"})
    std::filesystem::create_directory_symlink(elsewhere, host.Host(kTemp) / name);
  host.platform().ForgetHostListings();
  testsupport::PackageBuilder b;
  b.AddResource("X:\\title.bmp", "BMP");
  b.AddRegFile("X:\\a.reg", "REGEDIT4");
  b.AddComponentFile("C1", "X:\\c", "X:\\c\\C1.ini", "[Option]");
  Extract(b);
  EXPECT_TRUE(std::filesystem::is_empty(elsewhere));
  compile.ClearTempFiles();
  EXPECT_TRUE(std::filesystem::is_empty(elsewhere));
}

TEST_F(ExtractResources, RefusesATemporaryFolderBehindALink) {
  const std::filesystem::path temp = host.Host(kTemp);
  std::filesystem::rename(temp, temp.parent_path() / "RealTemp");
  std::filesystem::create_directory_symlink(temp.parent_path() / "RealTemp", temp);
  host.platform().ForgetHostListings();
  testsupport::PackageBuilder b;
  b.AddResource("X:\\title.bmp", "BMP");
  EXPECT_EQ(packagetest::ErrorOf([&] { Extract(b); }),
            sys::Format(sys::kUnsafeFolder, kTemp));
  EXPECT_TRUE(std::filesystem::is_empty(temp.parent_path() / "RealTemp"));
}

// Plays the same user rewriting an unpacked file in the moment between its writing and its hold.
class RewritingPlatform : public sys::sandbox::SandboxPlatform {
 public:
  using SandboxPlatform::SandboxPlatform;
  std::unique_ptr<sys::Stream> HoldForRead(const std::string& path) override {
    CreateForWrite(path)->Write("EVIL", 4);
    return SandboxPlatform::HoldForRead(path);
  }
};

TEST(ExtractResourcesHold, AFileChangedBeforeItIsHeldStopsTheRun) {
  testsupport::SandboxHost host;
  RewritingPlatform platform(host.root());
  testsupport::PackageBuilder b;
  b.AddRegFile("X:\\a.reg", "REGEDIT4");
  b.WriteTo(platform, "C:\\setup.exe");
  TCompile compile(platform);
  compile.LoadPackage("C:\\setup.exe");
  auto source = compile.OpenPackageFile("C:\\setup.exe");
  const std::string message = packagetest::ErrorOf([&] { compile.ExtractResources(*source); });
  EXPECT_EQ(message, sys::Format(sys::kUnpackedFileChanged, compile.ResourceFolder() + "Reg\\a.reg"));
}

TEST_F(ExtractResources, TheRunsFolderGoesWithItsFiles) {
  testsupport::PackageBuilder b;
  b.AddResource("X:\\title.bmp", "BMP");
  b.AddComponentFile("C1", "X:\\c", "X:\\c\\sub\\a.dll", "DLL");
  Extract(b);
  ASSERT_TRUE(host.platform().DirectoryExists(Folder()));
  compile.ClearTempFiles();
  EXPECT_FALSE(host.platform().DirectoryExists(Folder()));
  EXPECT_TRUE(host.platform().DirectoryExists(kTemp));
}

}  // namespace
