// The uninstaller runs elevated and deletes what the install put into the user's own folders.
// Here the user plays the attacker: after the install, the product's Start-menu folder (or a
// folder of another profile) becomes a link to a folder of the system that holds a file of the
// shortcut's name. The uninstall must delete nothing through the link, and must not schedule a
// removal at restart (done by the system) for anything in the user's folders.
#include <filesystem>
#include <string>

#include "tests/uninstaller/UninstallerFixture.h"
#include "uninstaller/UninstallReport.h"

namespace uninsttest {
namespace {

using uninst::ItemOutcome;
namespace FaultOp = sys::sandbox::FaultOp;

constexpr const char* kSystemFolder = "C:\\Windows\\System32\\小工具";

class UserFolderLinksTest : public UninstallerTest {
 protected:
  std::string Programs() { return platform().SpecialFolder(sys::kCsidlPrograms); }
  std::string MenuFolder() { return Programs() + "\\小工具"; }
  std::string Shortcut() { return MenuFolder() + "\\小工具.lnk"; }

  // C:\App with a program, and the product's Start-menu folder with its shortcut.
  void InstallWithShortcut() {
    TUnInstall log(platform());
    log.SetItemName("小工具");
    log.SetSerial(kSerial);
    log.ForceDir("C:\\App");
    WriteInstalled(log, "C:\\App\\tool.exe", 1);
    log.ForceDir(MenuFolder());
    WriteInstalled(log, Shortcut(), 1);
    log.SaveToFile(kLog);
  }

  // The user's move: the folder goes, a link to the system's folder takes its name.
  void SwapForLink(const std::string& folder, const std::string& target) {
    std::filesystem::remove_all(host.Host(folder));
    host.WriteFile(target + "\\小工具.lnk", "the system's own file");
    std::filesystem::create_directory_symlink(host.Host(target), host.Host(folder));
    platform().ForgetHostListings();
  }

  ItemOutcome OutcomeOf(const uninst::UninstallReport& report, const std::string& what) {
    for (const auto& item : report.items)
      if (item.what == what) return item.outcome;
    ADD_FAILURE() << "not in the report: " << what;
    return ItemOutcome::Removed;
  }
};

TEST_F(UserFolderLinksTest, TheShortcutAndItsFolderGoWhenNothingWasSwapped) {
  InstallWithShortcut();
  uninst::UninstallReport report = Uninstall();
  EXPECT_EQ(OutcomeOf(report, Shortcut()), ItemOutcome::Removed);
  EXPECT_EQ(OutcomeOf(report, MenuFolder()), ItemOutcome::Removed);
  EXPECT_FALSE(Folder(MenuFolder()));
  EXPECT_TRUE(Folder(Programs()));
}

TEST_F(UserFolderLinksTest, AStartMenuFolderSwappedForALinkDeletesNothingThroughIt) {
  InstallWithShortcut();
  SwapForLink(MenuFolder(), kSystemFolder);
  dialogs.removeAtRestart = true;
  uninst::UninstallReport report = Uninstall();

  EXPECT_EQ(host.ReadFile(std::string(kSystemFolder) + "\\小工具.lnk"), "the system's own file");
  EXPECT_EQ(OutcomeOf(report, Shortcut()), ItemOutcome::Failed);
  EXPECT_EQ(OutcomeOf(report, MenuFolder()), ItemOutcome::Failed);
  EXPECT_TRUE(std::filesystem::is_symlink(host.Host(MenuFolder())));
  // The rest of the product goes all the same, and nothing is left to the system at restart.
  EXPECT_FALSE(Exists("C:\\App\\tool.exe"));
  EXPECT_TRUE(Journal("removeAtRestart").empty());
  for (const auto& asked : dialogs.restartAsks) EXPECT_TRUE(asked.empty());
}

TEST_F(UserFolderLinksTest, ALinkFurtherDownIsRefusedToo) {
  platform().ForceDirectories("C:\\App");
  TUnInstall log(platform());
  log.SetItemName("小工具");
  const std::string deep = MenuFolder() + "\\Tools\\Sub";
  log.ForceDir(deep);
  WriteInstalled(log, deep + "\\x.lnk", 1);
  log.SaveToFile(kLog);
  SwapForLink(MenuFolder() + "\\Tools", kSystemFolder);
  host.WriteFile(std::string(kSystemFolder) + "\\Sub\\x.lnk", "system");
  platform().ForgetHostListings();
  Uninstall();
  EXPECT_EQ(host.ReadFile(std::string(kSystemFolder) + "\\Sub\\x.lnk"), "system");
}

TEST_F(UserFolderLinksTest, AnotherProfilesFolderSwappedForALinkIsRefused) {
  // Elevated with an administrator's password, the uninstall runs as that administrator; the
  // installing user's links lie in their own profile beside it.
  platform().SetSpecialFolder(sys::kCsidlProfile, "C:\\Users\\admin");
  const std::string desktop = "C:\\Users\\user\\Desktop";
  platform().ForceDirectories("C:\\App");
  TUnInstall log(platform());
  log.SetItemName("小工具");
  host.WriteFile(desktop + "\\小工具.lnk", "link");
  platform().ForgetHostListings();
  log.AddFile(desktop + "\\小工具.lnk", 1);
  log.SaveToFile(kLog);
  platform().SetSpecialFolder(sys::kCsidlDesktop, "C:\\Users\\admin\\Desktop");
  SwapForLink(desktop, kSystemFolder);
  dialogs.removeAtRestart = true;
  Uninstall();
  EXPECT_EQ(host.ReadFile(std::string(kSystemFolder) + "\\小工具.lnk"), "the system's own file");
  EXPECT_TRUE(Journal("removeAtRestart").empty());
}

TEST_F(UserFolderLinksTest, AShortcutThatCannotGoIsNeverLeftToTheRestart) {
  InstallWithShortcut();
  platform().InjectFault(sys::sandbox::FaultRule{FaultOp::Remove, ".exe", 32, 0});
  platform().InjectFault(sys::sandbox::FaultRule{FaultOp::Remove, ".lnk", 32, 0});
  dialogs.removeAtRestart = true;
  uninst::UninstallReport report = Uninstall();

  EXPECT_EQ(OutcomeOf(report, Shortcut()), ItemOutcome::Failed);
  ASSERT_EQ(dialogs.restartAsks.size(), 1u);
  EXPECT_EQ(dialogs.restartAsks[0], std::vector<std::string>{"C:\\App\\tool.exe"});
  // The program and its folder are marked; nothing of the Start menu is.
  auto marks = Journal("removeAtRestart");
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0]["path"], "C:\\App\\tool.exe");
  EXPECT_EQ(marks[1]["path"], "C:\\App");
  EXPECT_EQ(OutcomeOf(report, MenuFolder()), ItemOutcome::NotEmpty);
}

}  // namespace
}  // namespace uninsttest
