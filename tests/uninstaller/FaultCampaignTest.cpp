// A fault at every step of the demo's install, its upgrade and its uninstall. A clean run counts
// the operations that change the simulated machine; then, for each k, operation k fails (access
// denied, disk full, sharing violation) or the run stops dead there, as a killed process would.
// After each: no crash; a failure ends in an error that names what failed; a failed install is
// rolled back and a killed one finished from its journal, leaving the machine exactly as it was
// before (the earlier Ins.log included); an uninstall never loses the log of what is still there.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>

#include "package/PackageBounds.h"
#include "package/uSystem.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "system/sandbox/SandboxPlatform.h"
#include "tests/tools/ToolFixture.h"
#include "tests/uninstaller/UninstallerFixture.h"
#include "uninstall/Rollback.h"
#include "uninstall/uUnInstall.h"
#include "uninstaller/ItemRemoval.h"
#include "uninstaller/Uninstaller.h"
#include "uninstaller/UninstallLog.h"

namespace uninsttest {
namespace {

namespace fs = std::filesystem;
using sys::sandbox::SandboxPlatform;
using tooltest::ToolResult;

constexpr const char* kSetup = "C:\\Users\\user\\Downloads\\DemoSetup.exe";
constexpr const char* kLogFile = "C:\\Program Files\\DemoSoft\\Ins.log";
constexpr uint32_t kSharingViolation = 32;
constexpr uint32_t kCodes[] = {sys::kErrorAccessDenied, sys::kErrorDiskFull, kSharingViolation};

enum class Outcome { Succeeded, Failed, Stopped };

struct RunResult {
  Outcome outcome = Outcome::Succeeded;
  std::string error;
  uint64_t steps = 0;
  std::string hit;
};

// The machine without the simulation's own record of started programs and asked questions.
std::map<std::string, std::string> Machine(const fs::path& root) {
  auto state = Snapshot(root);
  // The setup program's own unpacked resources are not part of the install; a killed run
  // cannot delete them, as it cannot on Windows.
  std::erase_if(state, [](const auto& entry) {
    return entry.first.ends_with("journal.jsonl") ||
           entry.first.starts_with("drive_c/Users/user/AppData/Local/Temp/");
  });
  return state;
}

// A failure names its object when the message quotes a path, key or value, rather than saying
// only that a stream failed.
bool NamesItsObject(const std::string& message) {
  return message.find('"') != std::string::npos || message.find('\'') != std::string::npos ||
         message.rfind("Failed to create key ", 0) == 0;
}

bool StillThere(sys::Platform& machine, const TUnInsData& item) {
  if (item.Kind == kUnInsFile) return machine.FileExists(item.Path);
  auto root = uninst::ParseRootKey(item.RootKey);
  if (!root || !machine.KeyExists(*root, item.Path)) return false;
  if (item.ValueName.empty()) return true;
  auto key = machine.OpenKeyToRead(*root, item.Path);
  return key && key->QueryValue(item.ValueName).has_value();
}

class FaultCampaign : public tooltest::ToolTest {
 protected:
  fs::path Template() const { return dir_ / "template"; }
  fs::path Work() const { return dir_ / "work"; }

  // A fresh machine with the demo's setup program in the downloads folder.
  void PrepareFreshMachine() {
    fs::path setup = dir_ / "DemoSetup.exe";
    ToolResult built = Run({"build", SETUP_SOURCE_DIR "/examples/demo/project.json", "--stub",
                            Stub().string(), "-o", setup.string()});
    ASSERT_EQ(built.code, 0) << built.err;
    SandboxPlatform machine(Template());
    fs::copy_file(setup, *machine.HostPath("C:\\Users\\user\\Downloads") / "DemoSetup.exe");
    machine.ForgetHostListings();
  }

  // The work machine starts as the template.
  void ResetWork() {
    fs::remove_all(Work());
    fs::copy(Template(), Work(), fs::copy_options::recursive);
  }

  // One install run of the demo on the work machine, as the setup program makes it, with the
  // step counter set by arm. version stands for what the package says of itself.
  RunResult Install(const std::function<void(sys::sandbox::StepFaults&)>& arm,
                    const std::string& version = "1.2.0") {
    SandboxPlatform machine(Work());
    sys::ScopedCurrentPlatform current(machine);
    TCompile compile(machine);
    compile.LoadPackage(kSetup);
    compile.Version = version;
    {
      auto self = OpenPackage(machine, kSetup);
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
    compile.ClearTempFiles();
    return result;
  }

  RunResult Uninstall(const std::function<void(sys::sandbox::StepFaults&)>& arm) {
    SandboxPlatform machine(Work());
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
    SandboxPlatform machine(Work());
    FinishInterruptedRun(machine, kLogFile);
  }

  // Runs the install campaign against the machine the template holds; returns faults injected.
  // Each step meets one of the three failure codes in turn (all three with
  // SETUP_FULL_FAULT_CAMPAIGN set) and, separately, a stop.
  size_t InstallCampaign(const std::string& version) {
    const auto before = Machine(Template());
    ResetWork();
    const RunResult clean = Install([](auto& steps) { steps.Reset(); }, version);
    EXPECT_EQ(clean.outcome, Outcome::Succeeded) << clean.error;
    EXPECT_GT(clean.steps, 10u);
    const auto installed = Machine(Work());
    size_t injected = 0;
    for (uint64_t k = 1; k <= clean.steps; ++k) {
      for (uint32_t code : CodesFor(k)) {
        ResetWork();
        const RunResult run = Install([&](auto& steps) { steps.FailAt(k, code); }, version);
        ++injected;
        const std::string where = "fault " + std::to_string(code) + " at step " +
                                  std::to_string(k) + " (" + run.hit + ")";
        if (run.outcome == Outcome::Succeeded) {
          // A failure the run ignores by design (a file time, a started program, a kept copy or
          // the journal that could not be deleted at the end): once the next run has tidied
          // up, the machine is the installed one.
          FinishAsTheNextRunDoes();
          EXPECT_EQ(Differences(installed, Machine(Work())), std::vector<std::string>{}) << where;
          continue;
        }
        EXPECT_EQ(run.outcome, Outcome::Failed) << where;
        EXPECT_TRUE(NamesItsObject(run.error)) << where << ": " << run.error;
        EXPECT_EQ(Differences(before, Machine(Work())), std::vector<std::string>{}) << where;
      }
      ResetWork();
      const RunResult stopped = Install([&](auto& steps) { steps.StopAt(k); }, version);
      ++injected;
      const std::string where = "stop at step " + std::to_string(k) + " (" + stopped.hit + ")";
      EXPECT_EQ(stopped.outcome, Outcome::Stopped) << where;
      FinishAsTheNextRunDoes();
      const auto after = Machine(Work());
      std::vector<std::string> left = Differences(before, after);
      // The one thing a kill can leave unrecorded: the empty folder of the log itself, created
      // the instant before the journal inside it.
      std::erase(left, "+ drive_c/Program Files/DemoSoft/");
      // Killed after it had succeeded, the run is finished rather than undone.
      if (!left.empty()) left = Differences(installed, after);
      EXPECT_EQ(left, std::vector<std::string>{}) << where;
    }
    return injected;
  }

  static std::vector<uint32_t> CodesFor(uint64_t step) {
    if (std::getenv("SETUP_FULL_FAULT_CAMPAIGN")) return {std::begin(kCodes), std::end(kCodes)};
    return {kCodes[step % std::size(kCodes)]};
  }

  bool Exists(const std::string& windowsPath) {
    SandboxPlatform machine(Work());
    return machine.FileExists(windowsPath);
  }

  void SaveWorkAsTemplate() {
    fs::remove_all(Template());
    fs::copy(Work(), Template(), fs::copy_options::recursive);
  }
};

TEST_F(FaultCampaign, FirstInstallUpgradeAndUninstallSurviveAFaultAtEveryStep) {
  PrepareFreshMachine();
  size_t injected = InstallCampaign("1.2.0");

  // The upgrade: the same product, a newer version, over the installed one.
  ResetWork();
  ASSERT_EQ(Install([](auto& steps) { steps.Reset(); }).outcome, Outcome::Succeeded);
  SaveWorkAsTemplate();
  injected += InstallCampaign("2.0.0");

  // The uninstall, from the installed machine: whatever a fault or a kill leaves installed, the
  // log still names.
  ResetWork();
  std::unique_ptr<TUnInstall> full;
  {
    SandboxPlatform machine(Work());
    full = uninst::LoadUninstallLog(machine, kLogFile);
  }
  const RunResult clean = Uninstall([](auto& steps) { steps.Reset(); });
  EXPECT_EQ(clean.outcome, Outcome::Succeeded);
  for (uint64_t k = 1; k <= clean.steps; ++k) {
    std::vector<uint32_t> variants = CodesFor(k);
    variants.push_back(0);  // the stop
    for (uint32_t variant : variants) {
      ResetWork();
      const RunResult run = Uninstall([&](auto& steps) {
        if (variant != 0) steps.FailAt(k, variant);
        else steps.StopAt(k);
      });
      ++injected;
      const std::string where = "uninstall variant " + std::to_string(variant) + " at step " +
                                std::to_string(k) + " (" + run.hit + ")";
      SandboxPlatform machine(Work());
      std::unique_ptr<TUnInstall> left;
      if (machine.FileExists(kLogFile)) left = uninst::LoadUninstallLog(machine, kLogFile);
      for (const auto& item : full->Items()) {
        // Folders go only when empty and hold nothing of their own; files and values are what
        // stays installed.
        if (item->Remove != 1 || item->Kind == kUnInsDir || !StillThere(machine, *item)) continue;
        bool named = false;
        if (left) {
          for (const auto& kept : left->Items()) {
            named = named || (kept->Kind == item->Kind && sys::SameText(kept->Path, item->Path) &&
                              sys::SameText(kept->ValueName, item->ValueName));
          }
        }
        EXPECT_TRUE(named) << where << ": " << uninst::DescribeItem(*item) << " stays, unrecorded";
      }
    }
  }
  std::printf("fault campaign: %zu faults injected\n", injected);
}

}  // namespace
}  // namespace uninsttest
