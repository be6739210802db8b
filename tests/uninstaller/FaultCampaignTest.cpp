// A fault at every step of the demo's install, its upgrade and its uninstall. A clean run counts
// the operations that change the simulated machine; then, for each k, operation k fails (access
// denied, disk full, sharing violation) or the run stops dead there, as a killed process would.
// After each: no crash; a failed install ends in an error that names what failed and is rolled
// back, a killed one is finished from its journal by the next run, leaving the machine exactly as
// it was before (the earlier Ins.log included); an uninstall never loses the log of what is still
// installed. Each campaign prints how many faults it injected.
//
// Speed: the demo's setup program is built once per process, every case runs in this process,
// and between cases the machine is put back from an image in memory, touching only what the
// case changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

#include "engine/InstallRun.h"
#include "package/PackageBounds.h"
#include "package/uSystem.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "system/sandbox/Encoding.h"
#include "system/sandbox/SandboxPlatform.h"
#include "tests/support/host/SandboxHost.h"
#include "tests/uninstaller/UninstallerFixture.h"
#include "tools/commands/Commands.h"
#include "undo/Rollback.h"
#include "undo/RunJournal.h"
#include "undo/uUnInstall.h"
#include "uninstaller/ItemRemoval.h"
#include "uninstaller/Uninstaller.h"
#include "uninstaller/UninstallLog.h"

namespace uninsttest {
namespace {

namespace fs = std::filesystem;
using sys::sandbox::SandboxPlatform;
using sys::sandbox::StepFaults;

constexpr const char* kSetup = "C:\\Users\\user\\Downloads\\DemoSetup.exe";
constexpr const char* kLogFile = "C:\\Program Files\\DemoSoft\\Ins.log";
constexpr uint32_t kSharingViolation = 32;
constexpr uint32_t kCodes[] = {sys::kErrorAccessDenied, sys::kErrorDiskFull, kSharingViolation};

enum class Outcome { Succeeded, Failed, Stopped };

struct RunResult {
  Outcome outcome = Outcome::Succeeded;
  std::string error;
  uint64_t steps = 0;
  std::string hit;  // the operation the fault or stop met
};

using Arm = std::function<void(StepFaults&)>;

std::string ReadHostFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::string bytes(static_cast<size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
  in.seekg(0).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

void WriteHostFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Every folder and file below a sandbox root, held in memory; Restore puts a root back to it by
// removing what was added and rewriting only what differs, which is far cheaper than copying the
// whole machine for each case.
class MachineImage {
 public:
  explicit MachineImage(const fs::path& root) {
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      const fs::path relative = fs::relative(entry.path(), root);
      if (entry.is_directory()) entries_[relative] = std::nullopt;
      else entries_[relative] = ReadHostFile(entry.path());
    }
  }

  void Restore(const fs::path& root) const {
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
      auto kept = entries_.find(fs::relative(it->path(), root));
      const bool isFolder = it->is_directory();
      if (kept == entries_.end() || kept->second.has_value() == isFolder) {
        if (isFolder) it.disable_recursion_pending();
        fs::remove_all(it->path());
      } else if (kept->second && ReadHostFile(it->path()) != *kept->second) {
        WriteHostFile(it->path(), *kept->second);
      }
    }
    // Parents sort before their children.
    for (const auto& [relative, bytes] : entries_) {
      const fs::path path = root / relative;
      if (!bytes) fs::create_directory(path);
      else if (!fs::exists(path)) WriteHostFile(path, *bytes);
    }
  }

 private:
  std::map<fs::path, std::optional<std::string>> entries_;
};

// The machine as far as an install changes it: the simulation's own temporary folder holds the
// setup program's unpacked resources, which a killed run cannot delete (as on Windows).
std::map<std::string, std::string> Machine(const fs::path& root) {
  auto state = Snapshot(root);
  std::erase_if(state, [](const auto& entry) {
    return entry.first.starts_with("drive_c/Users/user/AppData/Local/Temp/");
  });
  return state;
}

// A failure names its object when the message quotes a path, key or value, rather than saying
// only that a stream failed.
bool NamesItsObject(const std::string& message) {
  return message.find('"') != std::string::npos || message.find('\'') != std::string::npos ||
         message.find("“") != std::string::npos || message.rfind("Failed to create key ", 0) == 0;
}

// The last name of the path an operation met ("create key \A\B" -> "B"), as the snapshot writes it.
std::string HitName(const std::string& hit) {
  return sys::sandbox::GbkToUtf8(hit.substr(hit.find_last_of('\\') + 1));
}

bool Names(const TUnInstall& log, const TUnInsData& item) {
  for (const auto& kept : log.Items()) {
    if (kept->Kind == item.Kind && sys::SameText(kept->Path, item.Path) &&
        sys::SameText(kept->ValueName, item.ValueName)) {
      return true;
    }
  }
  return false;
}

bool StillThere(sys::Platform& machine, const TUnInsData& item) {
  if (item.Kind == undo::kUnInsFile) return machine.FileExists(item.Path);
  auto root = uninst::ParseRootKey(item.RootKey);
  if (!root || !machine.KeyExists(*root, item.Path)) return false;
  if (item.ValueName.empty()) return true;
  auto key = machine.OpenKeyToRead(*root, item.Path);
  return key && key->QueryValue(item.ValueName).has_value();
}

class FaultCampaign : public ::testing::Test {
 protected:
  // The demo's setup program, built once for every test of the process.
  static void SetUpTestSuite() {
    shared_ = testsupport::MakeTempFolder("campaign");
    const fs::path stub = shared_ / "stub.exe";
    WriteHostFile(stub, "MZ" + std::string(510, 'S'));
    std::ostringstream out, err;
    const std::string setup = (shared_ / "setup.exe").string();
    const int code = tool::RunTool({"build", SETUP_SOURCE_DIR "/examples/demo/project.json",
                                    "--stub", stub.string(), "-o", setup},
                                   out, err);
    ASSERT_EQ(code, 0) << err.str();
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(shared_, ignored);
  }

  FaultCampaign() : work_(testsupport::MakeTempFolder("campaign-machine")) {}
  ~FaultCampaign() override {
    std::error_code ignored;
    fs::remove_all(work_, ignored);
  }

  void SetUp() override {
    SandboxPlatform machine(work_);
    fs::copy_file(shared_ / "setup.exe",
                  *machine.HostPath("C:\\Users\\user\\Downloads") / "DemoSetup.exe");
  }

  // One install run of the demo, as the setup program makes it, with the step counter armed.
  // version stands for what the package says of itself.
  RunResult Install(const Arm& arm, const std::string& version = "1.2.0") {
    SandboxPlatform machine(work_);
    sys::ScopedCurrentPlatform current(machine);
    TCompile compile(machine, &engine::RunInstall);
    compile.LoadPackage(kSetup);
    compile.Version = version;
    {
      auto self = package::OpenPackage(machine, kSetup);
      compile.ExtractResources(*self);
    }
    arm(machine.steps());
    RunResult result;
    try {
      compile.Install(kSetup);
    } catch (const sys::sandbox::SimulatedStop&) {
      result.outcome = Outcome::Stopped;
    } catch (const sys::Error& error) {
      result.outcome = Outcome::Failed;
      result.error = error.what();
    }
    result.steps = machine.steps().steps();
    result.hit = machine.steps().hit();
    // A killed process deletes nothing; the dead step counter sees to that here.
    compile.ClearTempFiles();
    return result;
  }

  RunResult Uninstall(const Arm& arm) {
    SandboxPlatform machine(work_);
    ScriptedDialogs dialogs;
    arm(machine.steps());
    RunResult result;
    try {
      uninst::RunUninstall(machine, kLogFile, dialogs);
    } catch (const sys::sandbox::SimulatedStop&) {
      result.outcome = Outcome::Stopped;
    }
    result.steps = machine.steps().steps();
    result.hit = machine.steps().hit();
    return result;
  }

  // What the next setup run or the uninstaller does first with what a killed run left.
  void FinishAsTheNextRunDoes() {
    SandboxPlatform machine(work_);
    undo::FinishInterruptedRun(machine, kLogFile);
  }

  // The files the run marked for removal at the next restart, as the snapshot names them.
  std::vector<std::string> MarkedForRestart() {
    std::vector<std::string> marked;
    for (const auto& line : sys::sandbox::ReadJournal(work_)) {
      if (line["op"] != "removeAtRestart") continue;
      std::string path = line["path"];
      std::replace(path.begin(), path.end(), '\\', '/');
      marked.push_back("+ drive_c/" + path.substr(3));
    }
    return marked;
  }

  // Each step fails with one of the three codes in turn, each code on every third step; with
  // SETUP_FULL_FAULT_CAMPAIGN set, every step fails with each of them.
  static std::vector<uint32_t> CodesFor(uint64_t step) {
    if (std::getenv("SETUP_FULL_FAULT_CAMPAIGN")) return {std::begin(kCodes), std::end(kCodes)};
    return {kCodes[step % std::size(kCodes)]};
  }

  using State = std::map<std::string, std::string>;

  // The install campaign over the machine as it is now; returns the faults injected. A killed
  // run is finished in turn by the next setup run, by the uninstaller, and by the journal alone
  // (what both of them do first).
  size_t InstallCampaign(const std::string& version, bool firstInstall) {
    const Arm clean = [](StepFaults& steps) { steps.Reset(); };
    const MachineImage image(work_);
    const State before = Machine(work_);
    Uninstall(clean);
    const State uninstalledBefore = Machine(work_);
    image.Restore(work_);
    const RunResult first = Install(clean, version);
    EXPECT_EQ(first.outcome, Outcome::Succeeded) << first.error;
    EXPECT_GT(first.steps, 50u);
    const State installed = Machine(work_);
    const MachineImage installedImage(work_);
    Install(clean, version);
    const State reinstalled = Machine(work_);
    installedImage.Restore(work_);
    Uninstall(clean);
    const State uninstalledAfter = Machine(work_);
    // A kill between the making of the log's folder and of the journal leaves the folder
    // unrecorded; the next run then finds it there and does not record it either.
    image.Restore(work_);
    SandboxPlatform(work_).ForceDirectories(sys::ExtractFilePath(kLogFile));
    Install(clean, version);
    const State installedInEmptyFolder = Machine(work_);

    size_t injected = 0;
    for (uint64_t k = 1; k <= first.steps; ++k) {
      for (uint32_t code : CodesFor(k)) {
        image.Restore(work_);
        const RunResult run = Install([&](StepFaults& steps) { steps.FailAt(k, code); }, version);
        ++injected;
        CheckFailedInstall(run, "fault " + std::to_string(code) + " at step " + std::to_string(k),
                           before, installed);
      }
      image.Restore(work_);
      const RunResult stopped = Install([&](StepFaults& steps) { steps.StopAt(k); }, version);
      ++injected;
      std::string where = "stop at step " + std::to_string(k) + " (" + stopped.hit + "), then ";
      EXPECT_EQ(stopped.outcome, Outcome::Stopped) << where;
      // What the finisher may leave: first as if the killed run had never been, then (killed
      // once its journal said it succeeded) as if it had ended normally.
      std::vector<const State*> accepted;
      switch (k % 3) {
        case 0:
          where += "the next setup run";
          EXPECT_EQ(Install(clean, version).outcome, Outcome::Succeeded) << where;
          accepted = {&installed, &reinstalled};
          if (firstInstall) accepted.push_back(&installedInEmptyFolder);
          break;
        case 1:
          where += "the uninstaller";
          Uninstall(clean);
          accepted = {&uninstalledBefore, &uninstalledAfter};
          break;
        default:
          where += "the journal alone";
          FinishAsTheNextRunDoes();
          accepted = {&before, &installed};
      }
      const State after = Machine(work_);
      std::vector<std::string> left = Differences(*accepted.front(), after);
      // The one thing a kill can leave unrecorded: the empty folder of the log itself, made the
      // instant before the journal that would name it.
      if (firstInstall) std::erase(left, "+ drive_c/Program Files/DemoSoft/");
      for (const State* state : accepted) {
        if (Differences(*state, after).empty()) left.clear();
      }
      EXPECT_EQ(left, std::vector<std::string>{}) << where;
    }
    image.Restore(work_);
    return injected;
  }

  // A failed run is rolled back to before. A run that goes on past a fault does so only where
  // the install ignores a failure by design (a folder or shortcut it could not make, a
  // component file it could not copy, a registration key it could not open, a kept copy it
  // could not delete yet): once the next run has tidied up, the machine is the installed one,
  // short of what the fault hit, plus kept copies marked for removal at restart.
  void CheckFailedInstall(const RunResult& run, const std::string& fault,
                          const State& before, const State& installed) {
    const std::string where = fault + " (" + run.hit + ")";
    if (run.outcome == Outcome::Failed) {
      EXPECT_TRUE(NamesItsObject(run.error)) << where << ": " << run.error;
      EXPECT_EQ(Differences(before, Machine(work_)), std::vector<std::string>{}) << where;
      return;
    }
    ASSERT_EQ(run.outcome, Outcome::Succeeded) << where;
    FinishAsTheNextRunDoes();
    const std::vector<std::string> marked = MarkedForRestart();
    const std::string name = HitName(run.hit);
    for (const std::string& line : Differences(installed, Machine(work_))) {
      const bool missingWhatFailed = line.starts_with("- ") && line.find(name) != std::string::npos;
      const bool keptUntilRestart = std::find(marked.begin(), marked.end(), line) != marked.end();
      EXPECT_TRUE(missingWhatFailed || keptUntilRestart) << where << ": " << line;
    }
  }

  static fs::path shared_;
  fs::path work_;
};

fs::path FaultCampaign::shared_;

TEST_F(FaultCampaign, FirstInstallIsRolledBackOrFinishedAfterAFaultAtEveryStep) {
  const size_t injected = InstallCampaign("1.2.0", true);
  std::printf("fault campaign, first install: %zu faults injected\n", injected);
}

TEST_F(FaultCampaign, UpgradeIsRolledBackOrFinishedAfterAFaultAtEveryStep) {
  ASSERT_EQ(Install([](StepFaults& steps) { steps.Reset(); }).outcome, Outcome::Succeeded);
  const std::string earlierLog = ReadHostFile(*SandboxPlatform(work_).HostPath(kLogFile));
  const size_t injected = InstallCampaign("2.0.0", false);
  // The earlier log is still readable after all of it.
  SandboxPlatform machine(work_);
  EXPECT_EQ(ReadHostFile(*machine.HostPath(kLogFile)), earlierLog);
  EXPECT_GT(uninst::LoadUninstallLog(machine, kLogFile)->Items().size(), 20u);
  std::printf("fault campaign, upgrade: %zu faults injected\n", injected);
}

// Whatever a fault or a kill leaves installed, the log still names; and the next uninstall,
// with nothing failing, removes it.
TEST_F(FaultCampaign, UninstallNeverLosesTheLogOfWhatStaysAfterAFaultAtEveryStep) {
  ASSERT_EQ(Install([](StepFaults& steps) { steps.Reset(); }).outcome, Outcome::Succeeded);
  const MachineImage image(work_);
  std::unique_ptr<TUnInstall> full;
  {
    SandboxPlatform machine(work_);
    full = uninst::LoadUninstallLog(machine, kLogFile);
  }
  const RunResult clean = Uninstall([](StepFaults& steps) { steps.Reset(); });
  EXPECT_EQ(clean.outcome, Outcome::Succeeded);
  const auto uninstalled = Machine(work_);
  EXPECT_GT(clean.steps, 20u);
  size_t injected = 0;
  for (uint64_t k = 1; k <= clean.steps; ++k) {
    std::vector<uint32_t> variants = CodesFor(k);
    variants.push_back(0);  // the stop
    for (uint32_t variant : variants) {
      image.Restore(work_);
      const RunResult run = Uninstall([&](StepFaults& steps) {
        if (variant != 0) steps.FailAt(k, variant);
        else steps.StopAt(k);
      });
      ++injected;
      const std::string where = (variant == 0 ? "stop" : "fault " + std::to_string(variant)) +
                                " at step " + std::to_string(k) + " (" + run.hit + ")";
      {
        SandboxPlatform machine(work_);
        std::unique_ptr<TUnInstall> left;
        if (machine.FileExists(kLogFile)) left = uninst::LoadUninstallLog(machine, kLogFile);
        for (const auto& item : full->Items()) {
          // Folders go only when empty and hold nothing of their own; files and values are what
          // stays installed.
          if (item->Remove != 1 || item->Kind == undo::kUnInsDir || !StillThere(machine, *item))
            continue;
          EXPECT_TRUE(left && Names(*left, *item))
              << where << ": " << uninst::DescribeItem(*item) << " stays, unrecorded";
        }
      }
      // Run again with nothing failing, the uninstaller removes the rest.
      EXPECT_EQ(Uninstall([](StepFaults& steps) { steps.Reset(); }).outcome, Outcome::Succeeded);
      EXPECT_EQ(Differences(uninstalled, Machine(work_)), std::vector<std::string>{}) << where;
    }
  }
  std::printf("fault campaign, uninstall: %zu faults injected\n", injected);
}

}  // namespace
}  // namespace uninsttest
