// A log named on the hand-off's command line is used only when it belongs to a registered
// product: its Serial's Uninstall registration (which only administrators can write) must give
// the log's own folder as "Install Dir". A log planted elsewhere, with a serial of its own or
// none, is refused before the question, with nothing removed.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "system/Error.h"
#include "tests/uninstaller/UninstallerFixture.h"
#include "undo/uUnInstall.h"
#include "uninstaller/UninstallLog.h"

namespace uninsttest {
namespace {

class HandedLogTest : public UninstallerTest {
 protected:
  uninst::UninstallReport Handed(const std::string& logPath) {
    return uninst::RunUninstall(platform(), logPath, dialogs, {}, true);
  }

  void ExpectRefused(const std::string& logPath) {
    SCOPED_TRACE(logPath);
    const auto before = Snapshot(host);
    ScriptedDialogs fresh;
    const uninst::UninstallReport report = uninst::RunUninstall(platform(), logPath, fresh, {}, true);
    const std::string message = sys::Format(uninst::kLogNotRegistered, logPath);
    EXPECT_EQ(report.error, message);
    EXPECT_EQ(fresh.errors, std::vector<std::string>{message});
    EXPECT_TRUE(fresh.confirmed.empty());
    EXPECT_EQ(Snapshot(host), before);
  }

  void SetInstallDir(const std::string& dir) {
    platform()
        .OpenKey(sys::kHkeyLocalMachine, package::UninstallKeyPath(kSerial), false)
        ->WriteString("Install Dir", dir);
  }
};

TEST_F(HandedLogTest, TheRegisteredLogIsUsed) {
  InstallProduct();
  SetInstallDir("c:\\app\\");  // case and a trailing backslash do not matter
  EXPECT_TRUE(Handed(kLog).Completed());
  EXPECT_FALSE(Exists("C:\\App\\tool.exe"));
}

TEST_F(HandedLogTest, ALogOutsideTheRegisteredFolderIsRefused) {
  InstallProduct();
  host.WriteFile("C:\\Users\\user\\Evil\\Ins.log", host.ReadFile(kLog));
  platform().ForgetHostListings();
  ExpectRefused("C:\\Users\\user\\Evil\\Ins.log");
}

TEST_F(HandedLogTest, ALogOfAnUnregisteredOrUnnamedProductIsRefused) {
  InstallProduct();
  for (const std::string& serial : {std::string("{00000000-0000-0000-0000-000000000000}"),
                                    std::string()}) {
    TUnInstall forged(platform());
    forged.SetItemName("小工具");
    forged.SetSerial(serial);
    forged.AddFile("C:\\App\\tool.exe", 1);
    forged.SaveToFile("C:\\App\\Forged.log");
    ExpectRefused("C:\\App\\Forged.log");
  }
}

TEST_F(HandedLogTest, ARegistrationWithoutTheFolderRefusesTheLog) {
  InstallProduct();
  platform()
      .OpenKey(sys::kHkeyLocalMachine, package::UninstallKeyPath(kSerial), false)
      ->DeleteValue("Install Dir");
  ExpectRefused(kLog);
  SetInstallDir("C:\\Other");
  ExpectRefused(kLog);
}

// The Windows program reads the log through its hold. A log put under the held log's name
// afterwards (its folder's file renamed away, a forged one of the same product in its place,
// naming a file the product never installed) is never the one read.
TEST_F(HandedLogTest, TheLogIsReadFromTheHoldNotFromWhatIsNowUnderItsName) {
  InstallProduct();
  SetInstallDir("C:\\App");
  std::unique_ptr<sys::Stream> held = platform().HoldForRead(kLog);
  host.WriteFile("C:\\Data\\precious.txt", "precious");
  TUnInstall forged(platform());
  forged.SetItemName("小工具");
  forged.SetSerial(kSerial);
  forged.AddFile("C:\\Data\\precious.txt", 1);
  forged.SaveToFile("C:\\App\\Forged.log");
  std::filesystem::rename(host.Host(kLog), host.Host("C:\\App\\Away.log"));
  std::filesystem::rename(host.Host("C:\\App\\Forged.log"), host.Host(kLog));
  platform().ForgetHostListings();

  int reads = 0;
  const uninst::UninstallReport report =
      uninst::RunUninstall(platform(), kLog, dialogs, {}, true, [&] {
        ++reads;
        return std::move(held);
      });
  EXPECT_EQ(reads, 1);
  EXPECT_TRUE(report.error.empty()) << report.error;
  EXPECT_TRUE(Exists("C:\\Data\\precious.txt"));
  EXPECT_FALSE(Exists("C:\\App\\tool.exe"));
  EXPECT_FALSE(Exists("C:\\App\\Sub\\core.dll"));
}

// A hold that gives no reader is an unreadable log: nothing is asked, nothing removed.
TEST_F(HandedLogTest, AHoldWithoutAReaderRefusesTheLog) {
  InstallProduct();
  SetInstallDir("C:\\App");
  const auto before = Snapshot(host);
  const uninst::UninstallReport report =
      uninst::RunUninstall(platform(), kLog, dialogs, {}, true, [] { return nullptr; });
  EXPECT_EQ(report.error, sys::Format(uninst::kLogUnreadable, kLog));
  EXPECT_TRUE(dialogs.confirmed.empty());
  EXPECT_EQ(Snapshot(host), before);
}

}  // namespace
}  // namespace uninsttest
