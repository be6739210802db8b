// The demo product end to end on the sandbox, through setup-tool as a user runs it: install
// (simulate), uninstall, and the machine is what it was, except for what the log keeps, the
// folder holding it, and what the install run does outside the log.
#include <gtest/gtest.h>

#include <algorithm>

#include "system/sandbox/FaultInjection.h"
#include "system/sandbox/SandboxPlatform.h"
#include "tests/tools/ToolFixture.h"
#include "tests/uninstaller/UninstallerFixture.h"
#include "uninstaller/UninstallDialogs.h"
#include "uninstaller/Uninstaller.h"

namespace uninsttest {
namespace {

using tooltest::ToolResult;
using tooltest::U8;
namespace fs = std::filesystem;

constexpr const char* kUninstaller = "C:\\Program Files\\DemoSoft\\uninst.exe";

// What an install and uninstall of the demo leave on a fresh machine, each for its reason.
const std::vector<std::string> kLeftByTheDemo = {
    // config.ini is recorded with Remove = 0, so it and the folder holding it stay.
    "+ drive_c/Program Files/DemoSoft/",
    "+ drive_c/Program Files/DemoSoft/config.ini",
    // The uninstaller program removes its own file after it ends (the Windows program's part).
    "+ drive_c/Program Files/DemoSoft/uninst.exe",
    // The setup program where the simulated user started it.
    "+ drive_c/Users/user/Downloads/DemoSetup.exe",
    // Component packages copy into the Windows folder, and auto-run programs get a Run value;
    // the install run records neither in the log.
    "+ drive_c/Windows/demort.dll",
    "+ HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run [DemoTray.exe]",
};

class DemoRoundTrip : public tooltest::ToolTest {
 protected:
  fs::path root() const { return dir_ / "machine"; }

  fs::path BuildDemo() {
    fs::path setup = dir_ / "DemoSetup.exe";
    ToolResult built = Run({"build", SETUP_SOURCE_DIR "/examples/demo/project.json", "--stub",
                            Stub().string(), "-o", setup.string()});
    EXPECT_EQ(built.code, 0) << built.err;
    return setup;
  }

  std::map<std::string, std::string> FreshMachine() {
    { sys::sandbox::SandboxPlatform machine(root()); }
    return Snapshot(root());
  }

  void Install(const fs::path& setup) {
    ToolResult result = Run({"simulate", setup.string(), "--root", root().string()});
    ASSERT_EQ(result.code, 0) << result.err;
  }

  ToolResult Uninstall(const std::string& answers = R"(["yes"])") {
    fs::path file = Write("answers.json", answers);
    return Run({"uninstall", kUninstaller, "--root", root().string(), "--answers", file.string()});
  }

  std::vector<std::string> LeftAfter(const std::map<std::string, std::string>& before) {
    std::vector<std::string> left = Differences(before, Snapshot(root()));
    // The journal of asked questions and started programs is the simulation's own record.
    std::erase_if(left, [](const std::string& line) { return line.ends_with("journal.jsonl"); });
    return left;
  }
};

std::vector<std::string> Sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST_F(DemoRoundTrip, InstallThenUninstallLeavesTheMachineAsItWas) {
  fs::path setup = BuildDemo();
  auto before = FreshMachine();
  Install(setup);
  ToolResult result = Uninstall();
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(Sorted(LeftAfter(before)), Sorted(kLeftByTheDemo));
  EXPECT_NE(result.out.find(U8(u8"ask \"确实要完全删除“演示软件”及其所有组件吗？\" -> Yes")),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("C:\\Program Files\\DemoSoft\\config.ini  (recorded to stay on uninstall)"),
            std::string::npos);
}

TEST_F(DemoRoundTrip, TwoInstallsIntoTheSameFolderGoWithOneUninstall) {
  fs::path setup = BuildDemo();
  auto before = FreshMachine();
  Install(setup);
  Install(setup);
  // The second run added its own uninstaller shortcut beside the first.
  ASSERT_TRUE(fs::exists(root() / "drive_c/Users/user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs" /
                         fs::path(U8(u8"演示软件/卸载“演示软件”(1).lnk"))));
  ToolResult result = Uninstall();
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(Sorted(LeftAfter(before)), Sorted(kLeftByTheDemo));
}

TEST_F(DemoRoundTrip, DecliningLeavesTheInstalledProduct) {
  fs::path setup = BuildDemo();
  FreshMachine();
  Install(setup);
  auto installed = Snapshot(root());
  ToolResult result = Uninstall(R"(["no"])");
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_NE(result.out.find("was declined; nothing was removed"), std::string::npos);
  EXPECT_TRUE(LeftAfter(installed).empty());
}

TEST_F(DemoRoundTrip, AProgramInUseIsReportedAndTheRestGoes) {
  fs::path setup = BuildDemo();
  auto before = FreshMachine();
  Install(setup);
  {
    sys::sandbox::SandboxPlatform machine(root());
    machine.InjectFault(sys::sandbox::FaultRule{sys::sandbox::FaultOp::Remove, "DemoSoft.exe", 32, 0});
    machine.SetAnswers({sys::kIdYes, sys::kIdNo});
    uninst::MessageBoxDialogs boxes(machine);
    uninst::UninstallReport report =
        uninst::RunUninstall(machine, "C:\\Program Files\\DemoSoft\\Ins.log", boxes);
    EXPECT_EQ(report.With(uninst::ItemOutcome::Failed),
              std::vector<std::string>{"C:\\Program Files\\DemoSoft\\bin\\DemoSoft.exe"});
  }
  std::vector<std::string> expected = kLeftByTheDemo;
  expected.push_back("+ drive_c/Program Files/DemoSoft/bin/");
  expected.push_back("+ drive_c/Program Files/DemoSoft/bin/DemoSoft.exe");
  // The log of what stays and the registration leading to the uninstaller are kept for a
  // second run once the program has ended.
  expected.push_back("+ drive_c/Program Files/DemoSoft/Ins.log");
  const std::string registration =
      "+ HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
      "5F0C2A4E-8B1D-4C3A-9E27-6D4B1F8A0C93";
  expected.push_back(registration + "\\");
  for (const char* value : {"DisplayIcon", "DisplayName", "DisplayVersion", "Install Dir",
                            "Publisher", "QuietUninstallString", "URLInfoAbout",
                            "UninstallString"}) {
    expected.push_back(registration + " [" + value + "]");
  }
  EXPECT_EQ(Sorted(LeftAfter(before)), Sorted(expected));
  // The outcome box names it.
  auto journal = sys::sandbox::ReadJournal(root());
  ASSERT_FALSE(journal.empty());
  EXPECT_NE(journal.back()["text"].get<std::string>().find("C:\\Program Files\\DemoSoft\\bin\\DemoSoft.exe"),
            std::string::npos);
}

}  // namespace
}  // namespace uninsttest
