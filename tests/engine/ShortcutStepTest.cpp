#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/ShortcutStep.h"
#include "system/Error.h"
#include "system/sandbox/ShellLinkFile.h"
#include "tests/engine/InstallFixture.h"

namespace enginetest {
namespace {

class Shortcuts : public InstallTest {
 protected:
  std::string Desktop() { return platform().SpecialFolder(sys::kCsidlDesktop); }
  std::string Programs() { return platform().SpecialFolder(sys::kCsidlPrograms); }
  std::string QuickLaunch() {
    return platform().SpecialFolder(sys::kCsidlAppData) + engine::kQuickLaunchTail;
  }
  size_t PinVerbs() {
    size_t n = 0;
    for (const auto& line : host.Journal()) n += line["op"] == "shellVerb";
    return n;
  }
};

TEST_F(Shortcuts, LocationsTheUserTurnedOffAreSkipped) {
  builder.ShotCutFolder("桌面\\Tools");
  builder.ShotCutFolder("开始菜单\\Extra");
  builder.AddShortcut("桌面", "App", "C:\\Apps\\T\\app.exe");
  builder.AddShortcut("快速启动栏", "Quick", "C:\\Apps\\T\\app.exe");
  TCompile& c = Load();
  c.Options.CreateStartMenu = 0;
  c.Options.StartMenuFolder = "MyApp";
  Install();
  EXPECT_FALSE(platform().DirectoryExists(Desktop() + "\\Tools"));
  EXPECT_FALSE(platform().DirectoryExists(Programs() + "\\MyApp"));
  EXPECT_FALSE(Exists(Desktop() + "\\App.lnk"));
  EXPECT_FALSE(Exists(QuickLaunch() + "\\Quick.lnk"));
}

TEST_F(Shortcuts, AllowedLinkPointsAtTheInstalledFile) {
  builder.AddFile("X:\\src\\app.exe", "目标计算机\\Program Files\\", "app");
  builder.AddShortcut("开始菜单\\Tools", "App", "X:\\src\\app.exe", "-x", "The app");
  builder.ShotCutFolder("开始菜单\\Tools");
  TCompile& c = Load();
  c.Options.StartMenuFolder = "MyApp";
  Install();
  const std::string path = Programs() + "\\MyApp\\Tools\\App.lnk";
  auto link = sys::sandbox::DecodeShellLink(Read(path));
  ASSERT_TRUE(link.has_value());
  EXPECT_EQ(link->target, "C:\\Apps\\T\\app.exe");
  EXPECT_EQ(link->arguments, "-x");
  EXPECT_EQ(link->description, "The app");
  EXPECT_EQ(link->workingDirectory, "C:\\Apps\\T\\");
  InsLog log = Log();
  EXPECT_EQ(log.Count(path, 0), 1u);
  EXPECT_EQ(log.Count(Programs() + "\\MyApp", 1), 1u);
  EXPECT_EQ(log.Count(Programs() + "\\MyApp\\Tools", 1), 1u);
  EXPECT_EQ(log.Count(Programs(), 1), 0u);
}

TEST_F(Shortcuts, TakenNamesAreNumberedAndTheNameIsStoredBack) {
  host.WriteFile(Desktop() + "\\MyApp.lnk", "taken");
  host.WriteFile(Desktop() + "\\MyApp(1).lnk", "taken");
  builder.AddShortcut("桌面", "MyApp", "C:\\x.exe");
  Load().Options.DesktopIcon = 1;
  Install();
  EXPECT_TRUE(Exists(Desktop() + "\\MyApp(1)(2).lnk"));
  EXPECT_EQ(compile->ShotCutList[0]->LinkName, "MyApp(1)(2)");
  EXPECT_EQ(Read(Desktop() + "\\MyApp.lnk"), "taken");
  EXPECT_EQ(Log().Count(Desktop() + "\\MyApp(1)(2).lnk", 0), 1u);
}

TEST_F(Shortcuts, InternetShortcutIsTheTwoLines) {
  host.WriteFile(Desktop() + "\\Home.url", "taken");
  builder.AddShortcut("桌面", "Home", "http://example.com/a?b=1", "", "", 1);
  Load().Options.DesktopIcon = 1;
  Install();
  EXPECT_EQ(Read(Desktop() + "\\Home(1).url"),
            "[InternetShortcut]\r\nURL=http://example.com/a?b=1\r\n");
  EXPECT_EQ(Log().Count(Desktop() + "\\Home(1).url", 0), 1u);
}

TEST_F(Shortcuts, QuickLaunchLinksArePinnedFromVersionSixOn) {
  builder.ShotCutFolder("快速启动栏");
  builder.AddShortcut("快速启动栏", "Quick", "C:\\x.exe");
  builder.AddShortcut("桌面", "Desk", "C:\\x.exe");
  Load().Options.QuickLaunchIcon = 1;
  compile->Options.DesktopIcon = 1;
  Install();
  ASSERT_TRUE(Exists(QuickLaunch() + "\\Quick.lnk"));
  ASSERT_EQ(PinVerbs(), 1u);
  for (const auto& line : host.Journal()) {
    if (line["op"] == "shellVerb") {
      EXPECT_EQ(line["path"], Utf8(QuickLaunch() + "\\Quick.lnk"));
      EXPECT_NE(line["verb"].get<std::string>().find(Utf8("锁定到任务栏")), std::string::npos);
    }
  }
}

TEST_F(Shortcuts, QuickLaunchLinksAreNotPinnedOnXp) {
  platform().SetVersionText("5.1");
  builder.ShotCutFolder("快速启动栏");
  builder.AddShortcut("快速启动栏", "Quick", "C:\\x.exe");
  Load().Options.QuickLaunchIcon = 1;
  Install();
  EXPECT_TRUE(Exists(QuickLaunch() + "\\Quick.lnk"));
  EXPECT_EQ(PinVerbs(), 0u);
}

TEST_F(Shortcuts, NothingToDoSendsNoStatus) {
  builder.AddFile("X:\\src\\a.txt", "目标计算机\\Program Files\\", "a");
  LoadAndInstall();
  for (const auto& hint : Hints()) EXPECT_NE(hint, "正在创建快捷方式，请稍候...");
}

TEST(ShortcutLocations, ResolvedFromTheShellFolders) {
  testsupport::SandboxHost host;
  auto& p = host.platform();
  EXPECT_EQ(ResolveShortcutFolder(p, "开始菜单\\Tools", "MyApp"),
            p.SpecialFolder(sys::kCsidlPrograms) + "\\MyApp\\Tools");
  EXPECT_EQ(ResolveShortcutFolder(p, "快速启动栏\\\\Sub\\", ""),
            p.SpecialFolder(sys::kCsidlAppData) + "\\Microsoft\\Internet Explorer\\Quick Launch\\Sub");
  EXPECT_EQ(ResolveShortcutFolder(p, "桌面", ""), p.SpecialFolder(sys::kCsidlDesktop));
  EXPECT_FALSE(ResolveShortcutFolder(p, "别处\\x", "").has_value());
}

TEST(ShortcutLocations, UnresolvedShellFolderGivesNoFolderRatherThanTheDriveRoot) {
  testsupport::SandboxHost host;
  auto& p = host.platform();
  for (int csidl : {sys::kCsidlPrograms, sys::kCsidlDesktop, sys::kCsidlAppData}) {
    p.SetSpecialFolder(csidl, "");
  }
  EXPECT_EQ(ResolveShortcutFolder(p, "开始菜单\\Tools", "MyApp"), std::nullopt);
  EXPECT_EQ(ResolveShortcutFolder(p, "桌面\\Sub", ""), std::nullopt);
  EXPECT_EQ(ResolveShortcutFolder(p, "快速启动栏", ""), std::nullopt);
}

}  // namespace
}  // namespace enginetest

namespace enginetest {
namespace {

// The user swaps the product's Start-menu folder for a link to a folder of the system before
// the elevated run writes its shortcuts (the sandbox's host symbolic link is the junction).
TEST_F(Shortcuts, AStartMenuFolderSwappedForALinkGetsNoShortcutThrough) {
  builder.AddShortcut("开始菜单", "App", "C:\\Apps\\T\\app.exe");
  builder.AddShortcut("桌面", "App", "C:\\Apps\\T\\app.exe");
  TCompile& c = Load();
  c.Options.StartMenuFolder = "MyApp";
  c.Options.DesktopIcon = 1;
  host.WriteFile("C:\\Windows\\System32\\keep.txt", "system");
  std::filesystem::create_directory_symlink(host.Host("C:\\Windows\\System32"),
                                            host.Host(Programs() + "\\MyApp"));
  platform().ForgetHostListings();
  const auto before = host.FolderNames("C:\\Windows\\System32");
  EXPECT_EQ(InstallError(), "");
  EXPECT_EQ(host.FolderNames("C:\\Windows\\System32"), before);
  // Where nothing was swapped the shortcut is written as ever.
  EXPECT_TRUE(Exists(Desktop() + "\\App.lnk"));
}

TEST_F(Shortcuts, ALinkedFolderBelowTheStartMenuFolderGetsNoInternetShortcut) {
  builder.AddShortcut("开始菜单\\Web", "Home", "http://example.com/", "", "", 1);
  TCompile& c = Load();
  c.Options.StartMenuFolder = "MyApp";
  host.WriteFile("C:\\Windows\\Web\\keep.txt", "system");
  host.WriteFile(Programs() + "\\MyApp\\placeholder", "");
  std::filesystem::create_directory_symlink(host.Host("C:\\Windows\\Web"),
                                            host.Host(Programs() + "\\MyApp\\Web"));
  platform().ForgetHostListings();
  // A .url that cannot be written stops the run, as it always has.
  const std::string url = Programs() + "\\MyApp\\Web\\Home.url";
  EXPECT_EQ(InstallError(), sys::Format(sys::kCannotCreateFile, url));
  EXPECT_EQ(host.FolderNames("C:\\Windows\\Web"), std::vector<std::string>{"keep.txt"});
}

}  // namespace
}  // namespace enginetest
