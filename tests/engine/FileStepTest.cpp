#include <gtest/gtest.h>

#include <string>

#include "tests/engine/InstallFixture.h"
#include "package/uKernal.h"
#include "system/Error.h"

namespace enginetest {
namespace {

constexpr const char* kProgramFiles = "目标计算机\\Program Files\\";

class FileStep : public InstallTest {};

TEST_F(FileStep, TargetOsEntriesInstallOnlyOnTheirVersion) {
  builder.AddFile("X:\\src\\xp.dll", kProgramFiles, "xp").TargetOs = "5.1";
  builder.AddFile("X:\\src\\win7.dll", kProgramFiles, "7").TargetOs = "6.1";
  builder.AddFile("X:\\src\\any.dll", kProgramFiles, "any");
  platform().SetVersionText("5.1");
  LoadAndInstall();
  EXPECT_TRUE(Exists("C:\\Apps\\T\\xp.dll"));
  EXPECT_FALSE(Exists("C:\\Apps\\T\\win7.dll"));
  EXPECT_EQ(Read("C:\\Apps\\T\\any.dll"), "any");
  EXPECT_EQ(Log().Count("C:\\Apps\\T\\win7.dll", 0), 0u);
}

TEST_F(FileStep, ProgramFilesFoldersAreMappedOntoTheInstallFolder) {
  builder.AddFile("X:\\src\\a.exe", "目标计算机\\Program Files\\MyTool\\bin", "a");
  builder.AddFile("X:\\src\\b.txt", "目标计算机\\program files\\Other", "b");
  LoadAndInstall("C:\\Apps\\MyTool");
  EXPECT_EQ(Read("C:\\Apps\\MyTool\\bin\\a.exe"), "a");
  EXPECT_EQ(Read("C:\\Apps\\MyTool\\Other\\b.txt"), "b");
  EXPECT_EQ(compile->FileList[0]->SourcePath, "C:\\Apps\\MyTool\\bin\\a.exe");
}

TEST_F(FileStep, WindowsAndAbsoluteRoots) {
  builder.AddFile("X:\\src\\w.dll", "目标计算机\\Windows\\system32\\", "w");
  builder.AddFile("X:\\src\\d.dat", "指定目录\\C:\\Data\\", "d");
  LoadAndInstall();
  EXPECT_EQ(Read("C:\\Windows\\system32\\w.dll"), "w");
  EXPECT_EQ(Read("C:\\Data\\d.dat"), "d");
  EXPECT_EQ(Log().Count("C:\\Data", 1), 1u);
}

TEST_F(FileStep, ExistingFileWithNoOverwriteStaysUnrecordedButReferencesMove) {
  host.WriteFile("C:\\Apps\\T\\app.ini", "mine");
  auto& entry = builder.AddFile("X:\\src\\app.ini", kProgramFiles, "theirs");
  entry.NoOverwrite = 1;
  builder.AddShortcut("桌面", "App", "x:\\SRC\\APP.INI");
  TCompile& c = Load();
  c.Options.AppFile = "X:\\src\\app.ini";
  c.Options.ReadmeFile = "X:\\src\\App.ini";
  Install();
  EXPECT_EQ(Read("C:\\Apps\\T\\app.ini"), "mine");
  EXPECT_EQ(Log().Count("C:\\Apps\\T\\app.ini", 0), 0u);
  EXPECT_EQ(c.FileList[0]->SourcePath, "C:\\Apps\\T\\app.ini");
  EXPECT_EQ(c.ShotCutList[0]->LinkTarget, "C:\\Apps\\T\\app.ini");
  EXPECT_EQ(c.Options.AppFile, "C:\\Apps\\T\\app.ini");
  EXPECT_EQ(c.Options.ReadmeFile, "C:\\Apps\\T\\app.ini");
}

TEST_F(FileStep, ReplacingNeverTouchesAFileNamedLikeItsTemporaryCopy) {
  host.WriteFile("C:\\Apps\\T\\app.exe", "old version");
  host.WriteFile("C:\\Apps\\T\\app.exe.~0", "the user's own file");
  builder.AddFile("X:\\src\\app.exe", kProgramFiles, "new");
  LoadAndInstall();
  EXPECT_EQ(Read("C:\\Apps\\T\\app.exe"), "new");
  EXPECT_EQ(Read("C:\\Apps\\T\\app.exe.~0"), "the user's own file");
  EXPECT_EQ(host.FolderNames("C:\\Apps\\T"), (std::vector<std::string>{"app.exe", "app.exe.~0"}));
}

TEST_F(FileStep, ExistingFileIsReplacedAndRecordedWithItsRemoveFlag) {
  host.WriteFile("C:\\Apps\\T\\app.exe", "old version");
  builder.AddFile("X:\\src\\app.exe", kProgramFiles, "new");
  builder.AddFile("X:\\src\\keep.dat", kProgramFiles, "k").KeepOnUninstall = 1;
  LoadAndInstall();
  EXPECT_EQ(Read("C:\\Apps\\T\\app.exe"), "new");
  EXPECT_EQ(host.FolderNames("C:\\Apps\\T"), (std::vector<std::string>{"app.exe", "keep.dat"}));
  InsLog log = Log();
  ASSERT_EQ(log.Count("C:\\Apps\\T\\app.exe", 0), 1u);
  for (const auto& item : log.items) {
    if (item.path == "C:\\Apps\\T\\app.exe") {
      EXPECT_EQ(item.remove, 1);
    } else if (item.path == "C:\\Apps\\T\\keep.dat") {
      EXPECT_EQ(item.remove, 0);
    }
  }
}

TEST_F(FileStep, CreatedFolderLevelsAreRecordedOutermostFirst) {
  builder.AddFile("X:\\src\\a.txt", "目标计算机\\Program Files\\Sub\\Deep", "a");
  LoadAndInstall("C:\\Apps\\T");
  InsLog log = Log();
  std::vector<std::string> dirs;
  for (const auto& item : log.items) {
    if (item.kind == 1) dirs.push_back(item.path);
  }
  std::vector<std::string> expected{"C:\\Apps", "C:\\Apps\\T", "C:\\Apps\\T\\Sub",
                                    "C:\\Apps\\T\\Sub\\Deep"};
  EXPECT_EQ(dirs, expected);
}

TEST_F(FileStep, ProgressCountsEveryEntryOfTheList) {
  for (int i = 0; i < 8; ++i) {
    builder.AddFile("X:\\src\\f" + std::to_string(i) + ".txt", kProgramFiles, "x");
  }
  builder.AddFolder("Empty", kProgramFiles);
  builder.AddResource("X:\\res\\logo.bmp", "BM");
  LoadAndInstall();
  std::vector<Report> progress;
  for (const auto& r : reports) {
    if (r.position != -1) progress.push_back(r);
  }
  ASSERT_EQ(progress.size(), 8u);
  EXPECT_EQ(progress.front().position, 1);
  EXPECT_EQ(progress.back().position, 8);
  EXPECT_EQ(progress.back().max, 10);
  EXPECT_EQ(progress.back().fileName, "C:\\Apps\\T\\f7.txt");
  EXPECT_EQ(progress.back().hint, "正在安装文件");
}

TEST_F(FileStep, LastWriteTimeIsTheDosTimeTakenToUtc) {
  // 2020-01-02 03:04:05 local; the machine is UTC+8, and DOS time keeps even seconds.
  builder.AddFile("X:\\src\\t.txt", kProgramFiles, "t").FileTime =
      43832 + (3 * 3600 + 4 * 60 + 5) / 86400.0;
  LoadAndInstall();
  // 2020-01-01 19:04:04 UTC: 153036 days after 1601-01-01.
  const uint64_t expected = (153036ull * 86400 + 19 * 3600 + 4 * 60 + 4) * 10000000ull;
  EXPECT_EQ(platform().LastWriteTime("C:\\Apps\\T\\t.txt"), expected);
}

TEST_F(FileStep, FolderEntriesAndFolderListAreCreated) {
  builder.AddFolder("Logs", "目标计算机\\Program Files\\Data");
  builder.FileFolder("目标计算机\\Program Files\\Cache\\");
  LoadAndInstall();
  EXPECT_TRUE(platform().DirectoryExists("C:\\Apps\\T\\Data\\Logs"));
  EXPECT_TRUE(platform().DirectoryExists("C:\\Apps\\T\\Cache"));
  EXPECT_EQ(Log().Count("C:\\Apps\\T\\Data\\Logs", 1), 1u);
}

TEST_F(FileStep, NamesThatAreNoPlainFileNameMakeThePackageDamaged) {
  for (const char* source : {"X:\\src\\..", "X:\\src\\", "X:/src/.", "X:\\src\\a:b"}) {
    testsupport::PackageBuilder b;
    b.AddFile("X:\\src\\ok.txt", kProgramFiles, "ok");
    b.AddFile(source, kProgramFiles, "bad");
    builder = std::move(b);
    reports.clear();
    Load();
    try {
      Install();
      ADD_FAILURE() << source << " was installed";
    } catch (const sys::Error& e) {
      EXPECT_STREQ(e.what(), package::kDamagedPackage);
    }
    EXPECT_FALSE(Exists("C:\\Apps\\T\\ok.txt")) << source;
  }
}

TEST_F(FileStep, SlashSeparatesTheFileNameToo) {
  builder.AddFile("X:\\src/sub/name.txt", kProgramFiles, "n");
  LoadAndInstall();
  EXPECT_EQ(Read("C:\\Apps\\T\\name.txt"), "n");
}

}  // namespace
}  // namespace enginetest
