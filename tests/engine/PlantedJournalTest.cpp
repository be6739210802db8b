// The run journal beside Ins.log is obeyed by the next setup run and the uninstaller, and its
// records move files, delete them and write registry values anywhere. An elevated run obeys only
// a journal that only the administrators could have written: one planted through the host (the
// person, in an install folder they may write) is neither obeyed nor deleted, while the journal
// a killed elevated run wrote itself still is. A run without those rights obeys the person's own.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/engine/InstallFixture.h"
#include "tests/uninstaller/UninstallerFixture.h"
#include "undo/Rollback.h"
#include "undo/RunJournal.h"
#include "uninstaller/Uninstaller.h"

namespace enginetest {
namespace {

constexpr const char* kProgramFiles = "目标计算机\\Program Files\\";
constexpr const char* kLogFile = "C:\\Apps\\T\\Ins.log";
constexpr const char* kSystemFile = "C:\\Windows\\system32\\core.dll";

class PlantedJournal : public InstallTest {
 protected:
  void InstallProduct() {
    builder.AddFile("X:\\src\\app.exe", kProgramFiles, "app");
    builder.AddUninstaller("D:\\build\\u.exe", "MZ");
    LoadAndInstall();
    host.WriteFile(kSystemFile, "the system's own");
  }

  // What an attacker would have an elevated run do: a system file replaced by theirs, a value
  // of theirs under HKEY_LOCAL_MACHINE, the installed program deleted.
  static std::vector<undo::JournalRecord> HostileRecords() {
    undo::JournalRecord swap;
    swap.kind = undo::JournalKind::FileKept;
    swap.path = kSystemFile;
    swap.kept = "C:\\Apps\\T\\mine.dll";
    undo::JournalRecord value;
    value.kind = undo::JournalKind::ValueSet;
    value.root = sys::kHkeyLocalMachine;
    value.path = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    value.name = "Planted";
    value.existed = true;
    value.type = sys::kRegSz;
    value.data = "C:\\Apps\\T\\mine.exe";
    undo::JournalRecord created;
    created.kind = undo::JournalKind::FileCreated;
    created.path = "C:\\Apps\\T\\app.exe";
    return {swap, value, created};
  }

  // The journal bytes written through the host: a file the person made, not the run.
  void Plant(const std::vector<undo::JournalRecord>& records) {
    const std::string scratch = "C:\\Users\\user\\AppData\\Local\\Temp\\made.journal";
    {
      undo::JournalWriter writer(platform(), scratch);
      writer.Open(records);
    }
    const std::string bytes = host.ReadFile(scratch);
    platform().RemoveFile(scratch);
    host.WriteFile(undo::JournalPathFor(kLogFile), bytes);
    host.WriteFile("C:\\Apps\\T\\mine.dll", "theirs");
  }

  // The product installed, then an elevated upgrade to a new app.exe, plus the files named (with
  // the text "new"), stopped dead at the given step; the machine is then read afresh.
  void KillUpgradeAt(uint64_t step, const std::vector<std::string>& moreFiles) {
    InstallProduct();
    builder = testsupport::PackageBuilder();
    builder.AddFile("X:\\src\\app.exe", kProgramFiles, "app v2");
    for (const std::string& name : moreFiles)
      builder.AddFile("X:\\src\\" + name, kProgramFiles, "new");
    builder.AddUninstaller("D:\\build\\u.exe", "MZ");
    Load();
    platform().steps().StopAt(step);
    EXPECT_THROW(Install(), sys::sandbox::SimulatedStop);
    host.Reopen();
  }

  void ExpectNothingObeyed() {
    EXPECT_EQ(host.ReadFile(kSystemFile), "the system's own");
    EXPECT_EQ(host.ReadFile("C:\\Apps\\T\\mine.dll"), "theirs");
    EXPECT_FALSE(Value(sys::kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                       "Planted"));
  }
};

TEST_F(PlantedJournal, AnElevatedSetupRunNeitherObeysNorKeepsOneAtItsJournalsName) {
  InstallProduct();
  Plant(HostileRecords());
  EXPECT_FALSE(undo::FinishInterruptedRun(platform(), kLogFile));
  EXPECT_TRUE(Exists(undo::JournalPathFor(kLogFile))) << "the person's file is not deleted by reading";
  LoadAndInstall();
  ExpectNothingObeyed();
  EXPECT_EQ(Read("C:\\Apps\\T\\app.exe"), "app");
  // The run's own journal took the name and went with the run's success.
  EXPECT_FALSE(Exists(undo::JournalPathFor(kLogFile)));
}

TEST_F(PlantedJournal, TheUninstallerDoesNotObeyOneAndLeavesItWithItsFolder) {
  InstallProduct();
  Plant(HostileRecords());
  uninsttest::ScriptedDialogs dialogs;
  uninst::RunUninstall(platform(), kLogFile, dialogs);
  ExpectNothingObeyed();
  EXPECT_FALSE(Exists("C:\\Apps\\T\\app.exe"));
  EXPECT_FALSE(Exists(kLogFile));
  EXPECT_TRUE(Exists(undo::JournalPathFor(kLogFile)));
}

TEST_F(PlantedJournal, AJournalAKilledElevatedRunWroteIsObeyedButNotACopyOfIt) {
  // Killed once the program was moved aside for its new version.
  KillUpgradeAt(6, {});
  const std::string journal = undo::JournalPathFor(kLogFile);
  const std::string bytes = host.ReadFile(journal);
  ASSERT_TRUE(undo::ReadRunJournal(platform(), journal).trusted);

  // The same bytes in a file made anew through the host are the person's.
  platform().RemoveFile(journal);
  host.WriteFile(journal, bytes);
  const undo::FoundJournal copy = undo::ReadRunJournal(platform(), journal);
  EXPECT_TRUE(copy.present);
  EXPECT_FALSE(copy.trusted);
  EXPECT_TRUE(copy.records.empty());
  EXPECT_FALSE(undo::FinishInterruptedRun(platform(), kLogFile));
  EXPECT_TRUE(Exists(journal));

  // Run without administrator rights, the next run obeys the same person's file.
  platform().SetElevated(false);
  EXPECT_TRUE(undo::FinishInterruptedRun(platform(), kLogFile));
  EXPECT_EQ(Read("C:\\Apps\\T\\app.exe"), "app");
  EXPECT_FALSE(Exists(journal));
}

TEST_F(PlantedJournal, AnElevatedUninstallerObeysTheJournalOfAKilledElevatedRun) {
  // Killed with new.dll written (named by no log, only by the journal) and app.exe kept aside.
  KillUpgradeAt(14, {"new.dll"});
  ASSERT_TRUE(Exists("C:\\Apps\\T\\new.dll"));
  ASSERT_TRUE(Exists(undo::JournalPathFor(kLogFile)));
  uninsttest::ScriptedDialogs dialogs;
  uninst::RunUninstall(platform(), kLogFile, dialogs);
  EXPECT_FALSE(Exists("C:\\Apps\\T\\app.exe"));
  EXPECT_FALSE(Exists(undo::JournalPathFor(kLogFile)));
  // The running uninstaller's own file stays for the restart.
  EXPECT_EQ(host.FolderNames("C:\\Apps\\T"), std::vector<std::string>{"u.exe"});
}

}  // namespace
}  // namespace enginetest
