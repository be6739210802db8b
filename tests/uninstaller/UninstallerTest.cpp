// The uninstall run over a product recorded by the real recorder: what goes, what stays and why,
// the order, the registration, the log and its folder, files in use and the restart offer.
#include <gtest/gtest.h>

#include <algorithm>

#include "system/sandbox/Encoding.h"
#include "system/sandbox/FaultInjection.h"
#include "tests/uninstaller/UninstallerFixture.h"
#include "undo/uUnInstall.h"
#include "uninstaller/UninstallLog.h"

namespace uninsttest {
namespace {

using sys::kHkeyCurrentUser;
using sys::kHkeyLocalMachine;
using uninst::ItemOutcome;
namespace FaultOp = sys::sandbox::FaultOp;

ItemOutcome OutcomeOf(const uninst::UninstallReport& report, const std::string& what) {
  for (const auto& item : report.items)
    if (item.what == what) return item.outcome;
  ADD_FAILURE() << "not in the report: " << what;
  return ItemOutcome::Failed;
}

size_t Position(const uninst::UninstallReport& report, const std::string& what) {
  for (size_t i = 0; i < report.items.size(); ++i)
    if (report.items[i].what == what) return i;
  ADD_FAILURE() << "not in the report: " << what;
  return 0;
}

TEST_F(UninstallerTest, RemovesWhatTheLogNamesAndKeepsWhatIsRecordedToStay) {
  InstallProduct();
  host.WriteFile("C:\\App\\uninst.exe", "the program removes itself later");
  platform().ForgetHostListings();
  uninst::UninstallReport report = Uninstall();

  ASSERT_TRUE(report.Completed()) << report.error;
  EXPECT_EQ(dialogs.confirmed, std::vector<std::string>{"小工具"});
  for (const char* gone : {"C:\\App\\tool.exe", "C:\\App\\Sub\\core.dll", "C:\\Menu\\小工具\\小工具.lnk", kLog}) {
    EXPECT_FALSE(Exists(gone)) << gone;
  }
  EXPECT_FALSE(Folder("C:\\App\\Sub"));
  EXPECT_FALSE(Folder("C:\\Menu"));
  EXPECT_EQ(host.ReadFile("C:\\App\\keep.ini"), "installed C:\\App\\keep.ini");
  EXPECT_EQ(OutcomeOf(report, "C:\\App\\keep.ini"), ItemOutcome::Kept);
  EXPECT_EQ(OutcomeOf(report, "C:\\App"), ItemOutcome::NotEmpty);
  EXPECT_TRUE(Exists("C:\\App\\uninst.exe"));

  EXPECT_FALSE(Key(kHkeyLocalMachine, "Software\\Tool"));
  EXPECT_FALSE(Key(kHkeyCurrentUser, "Software\\Tool"));
  EXPECT_TRUE(Key(kHkeyCurrentUser, "Software"));
  EXPECT_FALSE(Key(kHkeyLocalMachine, package::UninstallKeyPath(kSerial)));
  EXPECT_TRUE(Key(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
  EXPECT_TRUE(dialogs.restartAsks.empty());
  ASSERT_TRUE(dialogs.outcome.has_value());
  EXPECT_EQ(uninst::OutcomeText(*dialogs.outcome),
            "“小工具”已从您的计算机中删除。\r\n\r\n以下文件夹中还有其他文件，已保留：\r\nC:\\App");
}

TEST_F(UninstallerTest, GoesInReverseOrderThenRegistrationLogAndFolder) {
  InstallProduct();
  uninst::UninstallReport report = Uninstall();
  // Contents before their folders, values before their keys, the log's own items first.
  EXPECT_LT(Position(report, "C:\\App\\Sub\\core.dll"), Position(report, "C:\\App\\Sub"));
  EXPECT_LT(Position(report, "C:\\App\\Sub"), Position(report, "C:\\App"));
  EXPECT_LT(Position(report, "HKEY_LOCAL_MACHINE\\Software\\Tool [Path]"),
            Position(report, "HKEY_LOCAL_MACHINE\\Software\\Tool"));
  EXPECT_LT(Position(report, "HKEY_CURRENT_USER\\Software\\Tool\\Options"),
            Position(report, "HKEY_CURRENT_USER\\Software\\Tool"));
  const std::string registration = "HKEY_LOCAL_MACHINE" + package::UninstallKeyPath(kSerial);
  ASSERT_GE(report.items.size(), 3u);
  EXPECT_EQ(report.items[report.items.size() - 2].what, registration);
  EXPECT_EQ(report.items.back().what, kLog);
  // The log's folder is a logged item as well: tried again after the log, reported once.
  EXPECT_EQ(OutcomeOf(report, "C:\\App"), ItemOutcome::NotEmpty);
  EXPECT_EQ(std::count_if(report.items.begin(), report.items.end(),
                          [](const auto& item) { return item.what == "C:\\App"; }),
            1);
  // One step for each item, the registration and the log.
  ASSERT_FALSE(dialogs.progress.empty());
  EXPECT_EQ(dialogs.progress.size(), dialogs.progress.front().second);
  EXPECT_EQ(dialogs.progress.back().first + 1, dialogs.progress.back().second);
}

TEST_F(UninstallerTest, TheLogsFolderGoesWhenNothingElseIsInIt) {
  TUnInstall log(platform());
  log.SetItemName("X");
  log.ForceDir("C:\\Only");
  WriteInstalled(log, "C:\\Only\\a.txt", 1);
  log.SaveToFile("C:\\Only\\Ins.log");
  uninst::UninstallReport report = uninst::RunUninstall(platform(), "C:\\Only\\Ins.log", dialogs);
  EXPECT_FALSE(Folder("C:\\Only"));
  EXPECT_EQ(OutcomeOf(report, "C:\\Only"), ItemOutcome::Removed);
  EXPECT_TRUE(Folder("C:\\"));
}

TEST_F(UninstallerTest, ASerialNamingNoKeyLeavesTheSharedUninstallKeyAlone) {
  const std::string shared = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  ASSERT_TRUE(Key(kHkeyLocalMachine, shared));
  for (const char* serial : {"", "\\", "\\\\"}) {
    TUnInstall log(platform());
    log.SetItemName("X");
    log.SetSerial(serial);
    WriteInstalled(log, "C:\\Data\\a.txt", 1);
    log.SaveToFile("C:\\Data\\Ins.log");
    ScriptedDialogs run;
    uninst::UninstallReport report = uninst::RunUninstall(platform(), "C:\\Data\\Ins.log", run);
    EXPECT_TRUE(report.Completed());
    EXPECT_TRUE(Key(kHkeyLocalMachine, shared)) << "serial \"" << serial << "\"";
    EXPECT_FALSE(Exists("C:\\Data\\a.txt"));
    // The file and the log: one step each.
    EXPECT_EQ(run.progress.size(), 2u);
    EXPECT_EQ(run.progress.back(), std::make_pair(size_t{1}, size_t{2}));
  }
}

TEST_F(UninstallerTest, DecliningRemovesNothing) {
  InstallProduct();
  auto before = Snapshot(host);
  dialogs.confirm = false;
  uninst::UninstallReport report = Uninstall();
  EXPECT_FALSE(report.confirmed);
  EXPECT_TRUE(report.items.empty());
  EXPECT_FALSE(dialogs.outcome.has_value());
  EXPECT_EQ(Snapshot(host), before);
}

TEST_F(UninstallerTest, FoldersAndKeysHoldingForeignThingsStayWithThem) {
  InstallProduct();
  host.WriteFile("C:\\App\\Sub\\user notes.txt", "mine");
  platform().ForgetHostListings();
  platform().OpenKey(kHkeyLocalMachine, "Software\\Tool", false)->WriteString("Foreign", "f");
  platform().CreateKey(kHkeyCurrentUser, "Software\\Tool\\Options\\Other");
  auto registration =
      platform().OpenKey(kHkeyLocalMachine, package::UninstallKeyPath(kSerial), false);
  registration->WriteInteger("EstimatedSize", 5);
  registration.reset();

  uninst::UninstallReport report = Uninstall();
  EXPECT_EQ(host.ReadFile("C:\\App\\Sub\\user notes.txt"), "mine");
  EXPECT_FALSE(Exists("C:\\App\\Sub\\core.dll"));
  EXPECT_EQ(OutcomeOf(report, "C:\\App\\Sub"), ItemOutcome::NotEmpty);
  EXPECT_TRUE(Value(kHkeyLocalMachine, "Software\\Tool", "Foreign"));
  EXPECT_FALSE(Value(kHkeyLocalMachine, "Software\\Tool", "Path"));
  EXPECT_FALSE(Value(kHkeyLocalMachine, "Software\\Tool", ""));
  EXPECT_EQ(OutcomeOf(report, "HKEY_LOCAL_MACHINE\\Software\\Tool"), ItemOutcome::NotEmpty);
  EXPECT_TRUE(Key(kHkeyCurrentUser, "Software\\Tool\\Options\\Other"));
  EXPECT_FALSE(Value(kHkeyCurrentUser, "Software\\Tool\\Options", "语言"));
  // The registration loses the values the install run wrote, and keeps the one it did not.
  EXPECT_TRUE(Value(kHkeyLocalMachine, package::UninstallKeyPath(kSerial), "EstimatedSize"));
  EXPECT_FALSE(Value(kHkeyLocalMachine, package::UninstallKeyPath(kSerial), "DisplayName"));
  EXPECT_FALSE(Value(kHkeyLocalMachine, package::UninstallKeyPath(kSerial), "UninstallString"));
  ASSERT_TRUE(dialogs.outcome.has_value());
  EXPECT_NE(uninst::OutcomeText(*dialogs.outcome).find("C:\\App\\Sub"), std::string::npos);
}

TEST_F(UninstallerTest, ItemsGoneBeforeAreNoFailure) {
  InstallProduct();
  ASSERT_TRUE(platform().RemoveFile("C:\\App\\tool.exe"));
  platform().OpenKey(kHkeyLocalMachine, "Software\\Tool", false)->DeleteValue("Path");
  uninst::UninstallReport report = Uninstall();
  EXPECT_EQ(OutcomeOf(report, "C:\\App\\tool.exe"), ItemOutcome::Absent);
  EXPECT_EQ(OutcomeOf(report, "HKEY_LOCAL_MACHINE\\Software\\Tool [Path]"), ItemOutcome::Absent);
  EXPECT_FALSE(Key(kHkeyLocalMachine, "Software\\Tool"));
  EXPECT_TRUE(report.With(ItemOutcome::Failed).empty());
  EXPECT_TRUE(dialogs.restartAsks.empty());
}

TEST_F(UninstallerTest, AFolderWhereAFileWasIsNotTakenForIt) {
  InstallProduct();
  ASSERT_TRUE(platform().RemoveFile("C:\\App\\tool.exe"));
  ASSERT_TRUE(platform().ForceDirectories("C:\\App\\tool.exe"));
  uninst::UninstallReport report = Uninstall();
  EXPECT_EQ(OutcomeOf(report, "C:\\App\\tool.exe"), ItemOutcome::Absent);
  EXPECT_TRUE(Folder("C:\\App\\tool.exe"));
}

TEST_F(UninstallerTest, AFileInUseIsReportedAndTheRestGoes) {
  InstallProduct();
  platform().InjectFault(sys::sandbox::FaultRule{FaultOp::Remove, "core.dll", 32, 0});
  uninst::UninstallReport report = Uninstall();

  EXPECT_TRUE(Exists("C:\\App\\Sub\\core.dll"));
  EXPECT_EQ(OutcomeOf(report, "C:\\App\\Sub\\core.dll"), ItemOutcome::Failed);
  EXPECT_EQ(OutcomeOf(report, "C:\\App\\Sub"), ItemOutcome::NotEmpty);
  EXPECT_FALSE(Exists("C:\\App\\tool.exe"));
  EXPECT_FALSE(Key(kHkeyLocalMachine, "Software\\Tool"));
  // The log now names only what stays, and the registration still leads to the uninstaller.
  auto left = uninst::LoadUninstallLog(platform(), kLog);
  std::vector<std::string> paths;
  for (const auto& item : left->Items()) paths.push_back(item->Path);
  EXPECT_EQ(paths, (std::vector<std::string>{"C:\\App", "C:\\App\\Sub", "C:\\App\\Sub\\core.dll"}));
  EXPECT_EQ(left->Serial(), kSerial);
  EXPECT_TRUE(Key(kHkeyLocalMachine, package::UninstallKeyPath(kSerial)));
  // Asked, declined: nothing is marked.
  ASSERT_EQ(dialogs.restartAsks.size(), 1u);
  EXPECT_EQ(dialogs.restartAsks[0], std::vector<std::string>{"C:\\App\\Sub\\core.dll"});
  EXPECT_TRUE(Journal("removeAtRestart").empty());
  ASSERT_TRUE(dialogs.outcome.has_value());
  EXPECT_EQ(uninst::OutcomeText(*dialogs.outcome),
            "“小工具”已删除，但有些项目未能删除。"
            "\r\n\r\n以下项目未能删除，您可以手动删除它们：\r\nC:\\App\\Sub\\core.dll"
            "\r\n\r\n以下文件夹中还有其他文件，已保留：\r\nC:\\App\\Sub\r\nC:\\App"
            "\r\n\r\n卸载信息已保留，您可以稍后再次运行卸载程序删除其余项目。");
}

TEST_F(UninstallerTest, ASecondRunAfterTheFileIsFreeRemovesTheRest) {
  InstallProduct();
  platform().InjectFault(sys::sandbox::FaultRule{FaultOp::Remove, "core.dll", 32, 0});
  Uninstall();
  platform().ClearFaults();
  uninst::UninstallReport report = Uninstall();
  EXPECT_EQ(OutcomeOf(report, "C:\\App\\Sub\\core.dll"), ItemOutcome::Removed);
  EXPECT_FALSE(Exists(kLog));
  EXPECT_FALSE(Key(kHkeyLocalMachine, package::UninstallKeyPath(kSerial)));
}

TEST_F(UninstallerTest, ARegistrationThatStaysKeepsTheLogThatLeadsToIt) {
  InstallProduct();
  platform().InjectRegistryFault(kHkeyLocalMachine, package::UninstallKeyPath(kSerial),
                                 sys::sandbox::RegistryFault::FailWrites);
  uninst::UninstallReport report = Uninstall();
  EXPECT_FALSE(Exists("C:\\App\\tool.exe"));
  EXPECT_TRUE(Value(kHkeyLocalMachine, package::UninstallKeyPath(kSerial), "UninstallString"));
  EXPECT_TRUE(report.logKept);
  EXPECT_EQ(uninst::LoadUninstallLog(platform(), kLog)->Serial(), kSerial);

  host.Reopen();  // the key can be written again
  Uninstall();
  EXPECT_FALSE(Key(kHkeyLocalMachine, package::UninstallKeyPath(kSerial)));
  EXPECT_FALSE(Exists(kLog));
}

TEST_F(UninstallerTest, WithConsentFilesInUseAndTheirFoldersAreMarkedForRestart) {
  InstallProduct();
  platform().InjectFault(sys::sandbox::FaultRule{FaultOp::Remove, "core.dll", 32, 0});
  dialogs.removeAtRestart = true;
  uninst::UninstallReport report = Uninstall();

  auto marks = Journal("removeAtRestart");
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0]["path"], "C:\\App\\Sub\\core.dll");
  EXPECT_EQ(marks[1]["path"], "C:\\App\\Sub");
  EXPECT_EQ(OutcomeOf(report, "C:\\App\\Sub\\core.dll"), ItemOutcome::AtRestart);
  EXPECT_EQ(OutcomeOf(report, "C:\\App\\Sub"), ItemOutcome::AtRestart);
  // The install folder keeps a file recorded to stay, so it is not marked.
  EXPECT_EQ(OutcomeOf(report, "C:\\App"), ItemOutcome::NotEmpty);
  ASSERT_TRUE(dialogs.outcome.has_value());
  EXPECT_NE(uninst::OutcomeText(*dialogs.outcome).find("以下项目将在下次启动 Windows 时删除：\r\nC:\\App\\Sub\\core.dll\r\nC:\\App\\Sub"),
            std::string::npos);
}

TEST_F(UninstallerTest, AMarkThatFailsLeavesTheFileReportedAsNotRemoved) {
  InstallProduct();
  platform().InjectFault(sys::sandbox::FaultRule{FaultOp::Remove | FaultOp::RestartMark, "core.dll", 5, 0});
  dialogs.removeAtRestart = true;
  uninst::UninstallReport report = Uninstall();
  EXPECT_EQ(OutcomeOf(report, "C:\\App\\Sub\\core.dll"), ItemOutcome::Failed);
  EXPECT_EQ(OutcomeOf(report, "C:\\App\\Sub"), ItemOutcome::NotEmpty);
  EXPECT_TRUE(Journal("removeAtRestart").empty());
}

TEST_F(UninstallerTest, ProtectedRegistryItemsAreReportedAndTheRestGoes) {
  InstallProduct();
  platform().InjectRegistryFault(kHkeyCurrentUser, "Software\\Tool\\Options", sys::sandbox::RegistryFault::FailWrites);
  uninst::UninstallReport report = Uninstall();
  EXPECT_EQ(OutcomeOf(report, "HKEY_CURRENT_USER\\Software\\Tool\\Options [语言]"), ItemOutcome::Failed);
  EXPECT_TRUE(Value(kHkeyCurrentUser, "Software\\Tool\\Options", "语言"));
  EXPECT_EQ(OutcomeOf(report, "HKEY_CURRENT_USER\\Software\\Tool"), ItemOutcome::NotEmpty);
  EXPECT_FALSE(Key(kHkeyLocalMachine, "Software\\Tool"));
  // Registry items are not files: no restart question.
  EXPECT_TRUE(dialogs.restartAsks.empty());
}

TEST_F(UninstallerTest, MessageBoxesAskCaptionedWithTheProductName) {
  InstallProduct();
  platform().SetAnswers({sys::kIdYes});
  uninst::MessageBoxDialogs boxes(platform());
  uninst::UninstallReport report = uninst::RunUninstall(platform(), kLog, boxes);
  EXPECT_TRUE(report.Completed());
  auto boxesShown = Journal("messageBox");
  ASSERT_EQ(boxesShown.size(), 2u);
  EXPECT_EQ(boxesShown[0]["caption"], sys::sandbox::GbkToUtf8("卸载“小工具”"));
  EXPECT_EQ(boxesShown[0]["text"], sys::sandbox::GbkToUtf8("确实要完全删除“小工具”及其所有组件吗？"));
  EXPECT_EQ(boxesShown[0]["style"], sys::kMbYesNo | sys::kMbIconQuestion);
  EXPECT_EQ(boxesShown[1]["style"], sys::kMbOk | sys::kMbIconInformation);
  EXPECT_FALSE(Exists("C:\\App\\tool.exe"));
}

TEST(UninstallTexts, ALongListIsCutAfterFifteenNames) {
  uninst::UninstallReport report;
  report.productName = "X";
  for (int i = 1; i <= 20; ++i) report.items.push_back({"C:\\f" + std::to_string(i), 0, ItemOutcome::Failed});
  std::string text = uninst::OutcomeText(report);
  EXPECT_NE(text.find("\r\nC:\\f15\r\n……以及其他 5 项"), std::string::npos);
  EXPECT_EQ(text.find("C:\\f16"), std::string::npos);
  EXPECT_EQ(uninst::DialogCaption(""), "卸载");
}

}  // namespace
}  // namespace uninsttest
