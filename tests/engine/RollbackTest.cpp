// A failed install run undoes itself; a killed one leaves a journal that the next run finishes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/Error.h"
#include "tests/engine/InstallFixture.h"
#include "tests/uninstaller/UninstallerFixture.h"
#include "undo/Rollback.h"
#include "undo/RunJournal.h"
#include "undo/uUnInstall.h"

namespace enginetest {
namespace {

namespace FaultOp = sys::sandbox::FaultOp;
using sys::sandbox::FaultRule;

constexpr const char* kProgramFiles = "目标计算机\\Program Files\\";
constexpr const char* kLogFile = "C:\\Apps\\T\\Ins.log";
constexpr const char* kTool = "目标计算机\\HKEY_LOCAL_MACHINE\\Software\\Tool";

class Rollback : public InstallTest {
 protected:
  // Version 1 of the product: a program, a library, a value, a desktop link and the uninstaller.
  void InstallVersionOne() {
    builder.AddFile("X:\\src\\app.exe", kProgramFiles, "app v1");
    builder.AddFile("X:\\src\\core.dll", kProgramFiles + std::string("bin"), "core v1");
    builder.AddUninstaller("D:\\build\\u.exe", "MZ");
    builder.AddRegValue(kTool, "Version", "1");
    builder.AddShortcut("桌面", "Tool", "X:\\src\\app.exe");
    Load().Options.DesktopIcon = 1;
    Install();
  }
  // Version 2 adds a file in a new folder, a key and a value, and fails where the test says.
  void AddVersionTwo() {
    builder = testsupport::PackageBuilder();
    builder.AddFile("X:\\src\\app.exe", kProgramFiles, "app v2");
    builder.AddFile("X:\\src\\core.dll", kProgramFiles + std::string("bin"), "core v2");
    builder.AddFile("X:\\src\\new.dat", kProgramFiles + std::string("data\\deep"), "new");
    builder.AddUninstaller("D:\\build\\u.exe", "MZ2");
    builder.AddRegValue(kTool, "Version", "2");
    builder.AddRegValue(kTool + std::string("\\Fresh"), "Added", "x");
    builder.AddFile("X:\\src\\late.dll", kProgramFiles, "late").IsComponent = 1;
  }
  std::map<std::string, std::string> Machine() {
    auto state = uninsttest::Snapshot(host);
    std::erase_if(state, [](const auto& entry) { return entry.first.ends_with("journal.jsonl"); });
    return state;
  }
};

TEST_F(Rollback, AFailedUpgradePutsBackEveryFileValueAndKeyAndKeepsTheEarlierLog) {
  InstallVersionOne();
  AddVersionTwo();
  Load().Options.DesktopIcon = 1;
  const auto before = Machine();
  // The uninstaller comes after files, registration, registry and shortcuts.
  platform().InjectFault({FaultOp::Write, "u.exe", sys::kErrorDiskFull, 1});
  EXPECT_EQ(InstallError(), sys::Format(sys::kCannotWriteFile, "C:\\Apps\\T\\u.exe"));
  EXPECT_EQ(uninsttest::Differences(before, Machine()), std::vector<std::string>{});
  EXPECT_EQ(Read("C:\\Apps\\T\\app.exe"), "app v1");
  EXPECT_FALSE(platform().DirectoryExists("C:\\Apps\\T\\data"));
  EXPECT_FALSE(platform().KeyExists(sys::kHkeyLocalMachine, "Software\\Tool\\Fresh"));
  EXPECT_FALSE(Exists(JournalPathFor(kLogFile)));
}

TEST_F(Rollback, TheFailureReportListsWhatCouldNotBeUndone) {
  AddVersionTwo();
  Load();
  platform().InjectFault({FaultOp::Create, "u.exe", sys::kErrorAccessDenied, 0});
  try {
    Install();
    FAIL() << "the run should fail";
  } catch (const RollbackError& error) {
    EXPECT_EQ(error.notUndone(),
              std::vector<std::string>{"已运行“regsvr32.exe /s \"C:\\Apps\\T\\late.dll\"”"});
    EXPECT_EQ(std::string(error.what()), sys::Format(sys::kCannotCreateFile, "C:\\Apps\\T\\u.exe"));
  }
  EXPECT_FALSE(platform().DirectoryExists("C:\\Apps"));
}

TEST_F(Rollback, ASuccessDeletesTheKeptCopiesAndTheJournal) {
  InstallVersionOne();
  AddVersionTwo();
  Load();
  Install();
  EXPECT_EQ(Read("C:\\Apps\\T\\app.exe"), "app v2");
  EXPECT_EQ(host.FolderNames("C:\\Apps\\T"),
            (std::vector<std::string>{"Ins.log", "app.exe", "bin", "data", "late.dll", "u.exe"}));
  EXPECT_EQ(host.FolderNames("C:\\Apps\\T\\bin"), std::vector<std::string>{"core.dll"});
}

TEST_F(Rollback, AKilledUpgradeIsFinishedByTheNextRunFromItsJournal) {
  InstallVersionOne();
  AddVersionTwo();
  Load();
  const auto before = Machine();
  // Killed right after the program was replaced: the journal and the kept copy are all there is.
  platform().steps().StopAt(6);
  EXPECT_THROW(Install(), sys::sandbox::SimulatedStop);
  host.Reopen();
  ASSERT_TRUE(Exists(JournalPathFor(kLogFile)));
  EXPECT_TRUE(FinishInterruptedRun(platform(), kLogFile));
  EXPECT_EQ(uninsttest::Differences(before, Machine()), std::vector<std::string>{});
  EXPECT_FALSE(FinishInterruptedRun(platform(), kLogFile));
}

TEST_F(Rollback, TheNextSetupRunFinishesAKilledOneBeforeItStarts) {
  InstallVersionOne();
  AddVersionTwo();
  Load();
  platform().steps().StopAt(12);
  EXPECT_THROW(Install(), sys::sandbox::SimulatedStop);
  host.Reopen();
  sys::ScopedCurrentPlatform reopened(platform());
  Load();
  Install();
  EXPECT_EQ(Read("C:\\Apps\\T\\app.exe"), "app v2");
  EXPECT_FALSE(Exists(JournalPathFor(kLogFile)));
  // One record of each installed file: nothing of the killed run doubles or goes missing.
  InsLog log = Log(kLogFile);
  EXPECT_EQ(log.Count("C:\\Apps\\T\\app.exe", 0), 1u);
  EXPECT_EQ(log.Count("C:\\Apps\\T\\data\\deep\\new.dat", 0), 1u);
}

TEST(RunJournal, ATornLastRecordAndForeignFilesAreNotObeyed) {
  testsupport::SandboxHost host;
  auto& platform = host.platform();
  platform.ForceDirectories("C:\\A");
  {
    JournalWriter writer(platform, "C:\\A\\Ins.log.journal");
    JournalRecord created;
    created.kind = JournalKind::FileCreated;
    created.path = "C:\\A\\x.dll";
    JournalRecord value;
    value.kind = JournalKind::ValueSet;
    value.root = sys::kHkeyCurrentUser;
    value.path = "Software\\A";
    value.name = "v";
    value.existed = true;
    value.type = sys::kRegSz;
    value.data = "old";
    writer.Open({created});
    writer.Append(value);
  }
  std::string bytes = host.ReadFile("C:\\A\\Ins.log.journal");
  auto records = ReadRunJournal(platform, "C:\\A\\Ins.log.journal").records;
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].data, "old");
  EXPECT_EQ(records[1].root, sys::kHkeyCurrentUser);
  // Killed in the middle of the second record.
  host.WriteFile("C:\\A\\Ins.log.journal", bytes.substr(0, bytes.size() - 3));
  EXPECT_EQ(ReadRunJournal(platform, "C:\\A\\Ins.log.journal").records.size(), 1u);
  // A record claiming more than the file holds.
  std::string huge = bytes.substr(0, 14) + std::string("\xff\xff\xff\x7f", 4) + "\x02";
  host.WriteFile("C:\\A\\Ins.log.journal", huge);
  EXPECT_TRUE(ReadRunJournal(platform, "C:\\A\\Ins.log.journal").records.empty());
  host.WriteFile("C:\\A\\Ins.log.journal", "not a journal at all");
  EXPECT_TRUE(ReadRunJournal(platform, "C:\\A\\Ins.log.journal").records.empty());
}

}  // namespace
}  // namespace enginetest
