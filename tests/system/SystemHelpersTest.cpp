// The system helpers on the sandbox: what they ask of the machine and how they read its answers.
#include "system/SystemHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "system/Error.h"
#include "system/sandbox/Encoding.h"
#include "system/sandbox/SandboxPlatform.h"

namespace {

namespace fs = std::filesystem;
using sys::sandbox::SandboxPlatform;

// A sandbox whose version query answers what the test sets, to reach the platform ids that no
// version text of the sandbox describes.
class VersionPlatform : public SandboxPlatform {
 public:
  using SandboxPlatform::SandboxPlatform;
  std::optional<sys::VersionInfo> Version() const override { return version; }
  sys::ShellOutcome ShellRunAndWait(const sys::ShellRequest& request) override {
    return outcome ? *outcome : SandboxPlatform::ShellRunAndWait(request);
  }
  std::optional<sys::VersionInfo> version;
  std::optional<sys::ShellOutcome> outcome;
};

class SystemHelpers : public testing::Test {
 protected:
  SystemHelpers()
      : root_(fs::temp_directory_path() / ("helpers-" + std::to_string(std::random_device{}()))),
        platform_(root_),
        scope_(platform_) {
    sys::WizardTitle = "“演示”安装向导";
  }
  ~SystemHelpers() override {
    sys::WizardTitle.clear();
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  std::vector<nlohmann::json> JournalOf(const std::string& op) const {
    std::vector<nlohmann::json> lines;
    for (auto& line : platform_.ReadJournal())
      if (line["op"] == op) lines.push_back(line);
    return lines;
  }

  fs::path root_;
  VersionPlatform platform_;
  sys::ScopedCurrentPlatform scope_;
};

TEST_F(SystemHelpers, VersionTextByPlatformFamily) {
  struct Case {
    std::optional<sys::VersionInfo> info;
    const char* text;
  };
  const Case cases[] = {
      {std::nullopt, "0"},
      {sys::VersionInfo{0, 3, 11}, "1"},
      {sys::VersionInfo{1, 4, 10}, "2"},
      {sys::VersionInfo{2, 5, 1}, "5.1"},
      {sys::VersionInfo{2, 6, 1}, "6.1"},
      {sys::VersionInfo{2, 10, 0}, "10.0"},
      {sys::VersionInfo{3, 6, 1}, "0"},
  };
  for (const Case& c : cases) {
    platform_.version = c.info;
    EXPECT_EQ(sys::GetOSVersion(), c.text);
  }
}

TEST_F(SystemHelpers, ElevatedRelaunchWaitsAndTakesTheExitCode) {
  platform_.SetExitCode(42);
  uint32_t exitCode = 0;
  sys::RunElevated("C:\\Users\\user\\Downloads\\setup.exe", "-1", exitCode);
  EXPECT_EQ(exitCode, 42u);
  auto runs = JournalOf("shellRunAndWait");
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0]["verb"], "runas");
  EXPECT_EQ(runs[0]["parameters"], "-1");
  EXPECT_EQ(runs[0]["directory"], "");
  EXPECT_EQ(runs[0]["quiet"], true);
  EXPECT_EQ(runs[0]["show"], 1);
}

TEST_F(SystemHelpers, ElevatedRelaunchWithoutAnExitCodeLeavesTheVariable) {
  sys::ShellOutcome startedWithoutProcess;
  startedWithoutProcess.started = true;
  platform_.outcome = startedWithoutProcess;
  uint32_t exitCode = 9;
  sys::RunElevated("C:\\setup.exe", "-1", exitCode);
  EXPECT_EQ(exitCode, 9u);
}

TEST_F(SystemHelpers, RefusedElevationIsTheSilentAbort) {
  platform_.SetElevation(false);
  uint32_t exitCode = 9;
  EXPECT_THROW(sys::RunElevated("C:\\setup.exe", "-1", exitCode), sys::Abort);
  EXPECT_EQ(exitCode, 9u);
}

TEST_F(SystemHelpers, QuestionsAndInformationAreCaptionedWithTheWizardTitle) {
  platform_.SetAnswers({sys::kIdYes, sys::kIdNo});
  EXPECT_TRUE(sys::AskYesNo("要自动重启吗？"));
  EXPECT_FALSE(sys::AskYesNo("要自动重启吗？"));
  EXPECT_FALSE(sys::AskYesNo("默认回答"));
  sys::ShowInfo("安装完成");
  auto boxes = JournalOf("messageBox");
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0]["caption"], sys::sandbox::GbkToUtf8("“演示”安装向导"));
  EXPECT_EQ(boxes[0]["style"], 0x24);
  EXPECT_EQ(boxes[3]["style"], 0x40);
  EXPECT_EQ(boxes[3]["text"], sys::sandbox::GbkToUtf8("安装完成"));
}

TEST_F(SystemHelpers, DiskFreeByLetterInEitherCase) {
  platform_.SetFreeSpace('D', 123456789);
  EXPECT_EQ(sys::GetDiskFree('D'), 123456789);
  EXPECT_EQ(sys::GetDiskFree('d'), 123456789);
  EXPECT_EQ(sys::GetDiskFree('Q'), -1);
  EXPECT_EQ(sys::GetDiskFree('1'), -1);
  EXPECT_EQ(sys::GetDiskFree('@'), -1);
}

TEST_F(SystemHelpers, FoldersComeFromTheMachine) {
  EXPECT_EQ(sys::GetProgramFilesDir(), "C:\\Program Files");
  EXPECT_EQ(sys::GetWindowsDir(), "C:\\Windows");
  EXPECT_EQ(sys::GetTempDir(), "C:\\Users\\user\\AppData\\Local\\Temp\\");
  EXPECT_EQ(sys::GetSpecialFolder(sys::kCsidlAppData), "C:\\Users\\user\\AppData\\Roaming");
}

TEST_F(SystemHelpers, PinningCarriesOutEveryMatchingVerb) {
  const std::string link = "C:\\Users\\user\\Desktop\\a.lnk";
  platform_.CreateForWrite(link);
  platform_.SetShellVerbs({"打开(&O)", "锁定到任务栏(&K)", "附到「开始」菜单(&U)", "再次锁定到任务栏"});
  sys::PinToTaskbar(link);
  auto verbs = JournalOf("shellVerb");
  ASSERT_EQ(verbs.size(), 2u);
  EXPECT_EQ(verbs[0]["verb"], sys::sandbox::GbkToUtf8("锁定到任务栏(&K)"));
  EXPECT_EQ(verbs[1]["verb"], sys::sandbox::GbkToUtf8("再次锁定到任务栏"));
}

TEST_F(SystemHelpers, PinningOnAnEnglishShellDoesNothing) {
  const std::string link = "C:\\Users\\user\\Desktop\\a.lnk";
  platform_.CreateForWrite(link);
  platform_.SetShellVerbs({"&Open", "Pin to Tas&kbar", "Pin to Start Men&u"});
  sys::PinToTaskbar(link);
  EXPECT_TRUE(JournalOf("shellVerb").empty());
}

}  // namespace
