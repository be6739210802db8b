// TInstall: which window a package opens for each combination of the window switches and
// Patch, the loading window or the quiet extraction, the background music, FindBasicSetting,
// and the temporary files, which are gone after the run whatever happened.
#include <gtest/gtest.h>

#include "app/PageClasses.h"
#include "app/uInstall.h"
#include <algorithm>
#include <optional>

#include "package/uSystem.h"
#include "system/Error.h"
#include "system/SystemHelpers.h"
#include "tests/app/AppFixture.h"
#include "wizard/SetupForm.h"

namespace apptest {
namespace {

struct WindowCase {
  const char* showWizard;  // "显示安装界面"; nullptr: no such setting
  const char* patch;       // "Patch"
  const char* loading;     // "显示加载进度"
  const char* background;  // "显示安装背景窗口"
  std::vector<std::string> windows;
};

void PrintTo(const WindowCase& c, std::ostream* os) {
  auto text = [](const char* value) { return value ? U8(value) : std::string("-"); };
  *os << "wizard " << text(c.showWizard) << ", patch " << text(c.patch) << ", loading "
      << text(c.loading) << ", background " << text(c.background);
}

class Windows : public AppTest, public testing::WithParamInterface<WindowCase> {
 protected:
  Windows() {
    pages.emplace();
  }
  std::optional<app::ScopedPageClasses> pages;
};

TEST_P(Windows, OpenForTheSwitchesAsTheyAre) {
  const WindowCase& c = GetParam();
  if (c.showWizard) builder.Setting("显示安装界面", c.showWizard);
  if (c.patch) builder.Setting("Patch", c.patch);
  if (c.loading) builder.Setting("显示加载进度", c.loading);
  if (c.background) builder.Setting("显示安装背景窗口", c.background);
  builder.Setting("背景音乐", "C:\\Temp\\music.mid");
  host.WriteFile("C:\\Temp\\music.mid", "MThd");
  WriteSetup();
  std::string music;
  auto person = backend.OnIdle;
  backend.OnIdle = [&](ui::Form& top) {
    music = BackgroundMusicFile;
    return person(top);
  };
  // A patch of a product that was never installed may fail to install; the windows are what
  // this test is about.
  ui::SetErrorReporter([](const std::exception&) {});
  TInstall install(platform());
  install.Execute(backend);
  ui::SetErrorReporter(nullptr);
  EXPECT_EQ(windows, c.windows);
  const bool wizardPath =
      std::find(c.windows.begin(), c.windows.end(), "TfrmInstall") == c.windows.end();
  EXPECT_EQ(music, wizardPath && !windows.empty() ? "C:\\Temp\\music.mid" : "")
      << "the music is looked up only on the way to the wizard";
}

INSTANTIATE_TEST_SUITE_P(
    Switches, Windows,
    testing::Values(
        WindowCase{"启用", nullptr, nullptr, "启用", {"TfrmBackIns", "TfrmParent"}},
        WindowCase{"启用", nullptr, nullptr, "禁用", {"TfrmParent"}},
        WindowCase{"启用", nullptr, nullptr, nullptr, {}},
        WindowCase{nullptr, nullptr, nullptr, "禁用", {"TfrmParent"}},
        WindowCase{"禁用", nullptr, nullptr, "启用", {"TfrmInstall"}},
        WindowCase{"启用 ", nullptr, nullptr, "启用", {"TfrmInstall"}},
        WindowCase{"启用", "1", nullptr, "启用", {"TfrmInstall"}},
        WindowCase{"启用", "True", "启用", "启用", {"TfrmInitIns", "TfrmInstall"}},
        WindowCase{"启用", "0", "启用", "禁用", {"TfrmInitIns", "TfrmParent"}},
        WindowCase{"禁用", nullptr, "禁用", nullptr, {"TfrmInstall"}},
        WindowCase{"启用", nullptr, "启用", "启用", {"TfrmInitIns", "TfrmBackIns", "TfrmParent"}}));

TEST_F(AppTest, MusicNamingAMissingFileIsNotPlayed) {
  builder.Setting("显示安装背景窗口", "禁用");
  builder.Setting("背景音乐", "C:\\Temp\\missing.mid");
  WriteSetup();
  std::string music = "unset";
  auto person = backend.OnIdle;
  backend.OnIdle = [&](ui::Form& top) {
    music = BackgroundMusicFile;
    return person(top);
  };
  TInstall(platform()).Execute(backend);
  EXPECT_EQ(music, "");
}

TEST_F(AppTest, WithoutAPackageNothingOpens) {
  // A trailer whose configuration offset is 0: no package behind the program.
  host.WriteFile(kSetupExe, "MZ just a program" + std::string(16, '\0'));
  platform().SetExePath(kSetupExe, 1);
  TInstall install(platform());
  install.Execute(backend);
  EXPECT_TRUE(windows.empty());
  EXPECT_TRUE(install.Compile().TempFiles.empty());

  platform().SetExePath("C:\\Users\\user\\Downloads\\gone.exe", 1);
  TInstall(platform()).Execute(backend);
  EXPECT_TRUE(windows.empty());
}

TEST_F(AppTest, FindBasicSettingIgnoresAsciiCaseAndSearchesOnlyTheBasicGroup) {
  builder.Setting("Background Music", "first");
  builder.Setting("背景图片", "page attribute", 2);
  builder.Setting("BACKGROUND MUSIC", "second");
  builder.Setting("Only Page", "x", 12);
  WriteSetup();
  TInstall install(platform());
  install.Compile().LoadPackage(kSetupExe);
  ASSERT_NE(install.FindBasicSetting("background music"), nullptr);
  EXPECT_EQ(install.FindBasicSetting("background music")->Value, "first");
  EXPECT_EQ(install.FindBasicSetting("背景图片"), nullptr);
  EXPECT_EQ(install.FindBasicSetting("only page"), nullptr);
  EXPECT_EQ(install.FindBasicSetting("Background Musi"), nullptr);
}

class TempFiles : public AppTest {
 protected:
  TempFiles() {
    builder.Setting("显示安装界面", "禁用");
    builder.AddResource("X:\\res\\title.bmp", "BM title");
    builder.AddResource("X:\\res\\licence.txt", "licence");
  }
  // What the Info folders of the temporary folder's sub-folders hold (the run unpacks into a
  // folder of its own there).
  std::vector<std::string> InfoFolder() {
    std::vector<std::string> names;
    const std::string temp = platform().TempDirectory();
    for (const std::string& folder : platform().ListFolders(temp))
      for (const std::string& name : host.FolderNames(temp + folder + "\\Info")) names.push_back(name);
    return names;
  }
};

TEST_F(TempFiles, AreGoneAfterTheRunWithTheFolderTheRunMadeForThem) {
  builder.Setting("显示加载进度", "启用");
  WriteSetup();
  std::vector<std::string> during;
  auto person = backend.OnIdle;
  backend.OnIdle = [&](ui::Form& top) {
    if (top.ClassName() == "TfrmInstall") during = InfoFolder();
    return person(top);
  };
  {
    TInstall install(platform());
    install.Execute(backend);
  }
  EXPECT_EQ(during, (std::vector<std::string>{"licence.txt", "title.bmp"}));
  EXPECT_TRUE(InfoFolder().empty());
  EXPECT_TRUE(platform().ListFolders(platform().TempDirectory()).empty());
  EXPECT_TRUE(Installed());
}

TEST_F(TempFiles, AreGoneAlsoWhenTheRunEndsWithAnError) {
  builder.Setting("显示加载进度", "禁用");
  builder.AddResource("X:\\res\\broken.txt", std::string(30000, 'b'));
  std::string bytes = builder.Build();
  const TCompileFileData& broken = *builder.project().FileList[3];
  bytes[broken.DataStart + 4] = 0;
  host.WriteFile(kSetupExe, bytes);
  platform().SetExePath(kSetupExe, 1);
  {
    TInstall install(platform());
    EXPECT_THROW(install.Execute(backend), sys::Error);
    EXPECT_FALSE(InfoFolder().empty()) << "the resources before the broken one were unpacked";
  }
  EXPECT_TRUE(InfoFolder().empty());
  EXPECT_TRUE(windows.empty());
}

}  // namespace
}  // namespace apptest
