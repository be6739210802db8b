// The uninstaller program's window and dialogs on the headless backend: the question comes
// first and nothing shows before it, the window follows each step and keeps answering, cannot
// be closed halfway, and is gone before the outcome box; the hold on the log is let go only
// when the removal reaches the log.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "system/sandbox/Encoding.h"
#include "system/sandbox/FaultInjection.h"
#include "tests/uninstaller/UninstallerFixture.h"
#include "ui/Label.h"
#include "ui/ProgressBar.h"
#include "ui/headless/Automation.h"
#include "ui/headless/HeadlessBackend.h"
#include "uninstaller/window/ProgressWindow.h"
#include "uninstaller/window/WindowDialogs.h"

namespace uninsttest {
namespace {

class ProgressWindowTest : public UninstallerTest {
 protected:
  ProgressWindowTest() {
    backend.OnRender = [this](const std::string& rendering) { renderings.push_back(rendering); };
  }

  ui::HeadlessBackend backend;
  std::vector<std::string> renderings;
};

TEST_F(ProgressWindowTest, AsksFirstThenShowsEachStepAndHidesBeforeTheOutcome) {
  InstallProduct();
  platform().SetAnswers({sys::kIdYes});
  uninst::WindowDialogs windows(platform(), backend);
  std::vector<std::string> steps;
  uninst::UninstallReport report = uninst::RunUninstall(platform(), kLog, windows, [&] {
    steps.push_back(windows.Window()->Find<ui::Label>("lblStep")->Caption());
  });
  ASSERT_TRUE(report.Completed());
  EXPECT_FALSE(Exists("C:\\App\\tool.exe"));

  ASSERT_NE(windows.Window(), nullptr);
  EXPECT_FALSE(windows.Window()->Visible());
  ASSERT_EQ(renderings.size(), 1u);  // shown once, updated in place
  EXPECT_TRUE(renderings[0].starts_with("[TfrmUninstall] 卸载“小工具”\n")) << renderings[0];
  // The first step is the last item of the log.
  EXPECT_NE(renderings[0].find("Label lblStep: 正在删除：HKEY_CURRENT_USER\\Software\\Tool\\Options [语言]"),
            std::string::npos)
      << renderings[0];
  ui::ProgressBar* bar = windows.Window()->Find<ui::ProgressBar>("pbSteps");
  // One step per report item: the log's folder is a logged item already (it stays for keep.ini).
  const size_t steps_total = report.items.size();
  EXPECT_EQ(bar->Max(), static_cast<int32_t>(steps_total));
  EXPECT_EQ(bar->Position(), static_cast<int32_t>(steps_total - 1));
  EXPECT_EQ(backend.ProcessMessagesCalls(), static_cast<int>(steps_total));
  // The hook ran once, while the window named the log.
  EXPECT_EQ(steps, std::vector<std::string>{"正在删除：" + std::string(kLog)});

  auto boxes = Journal("messageBox");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0]["style"], sys::kMbYesNo | sys::kMbIconQuestion);
  EXPECT_EQ(boxes[1]["caption"], sys::sandbox::GbkToUtf8("卸载“小工具”"));
  EXPECT_TRUE(boxes[1]["text"].get<std::string>().starts_with(
      sys::sandbox::GbkToUtf8("“小工具”已从您的计算机中删除。")))
      << boxes[1]["text"];
}

TEST_F(ProgressWindowTest, DecliningShowsNoWindowAndRemovesNothing) {
  InstallProduct();
  const auto before = Snapshot(host);
  platform().SetAnswers({sys::kIdNo});
  uninst::WindowDialogs windows(platform(), backend);
  bool released = false;
  uninst::UninstallReport report =
      uninst::RunUninstall(platform(), kLog, windows, [&] { released = true; });
  EXPECT_FALSE(report.confirmed);
  EXPECT_EQ(windows.Window(), nullptr);
  EXPECT_TRUE(renderings.empty());
  EXPECT_FALSE(released);
  EXPECT_EQ(Differences(before, Snapshot(host)), std::vector<std::string>{});
  EXPECT_EQ(Journal("messageBox").size(), 1u);
}

TEST_F(ProgressWindowTest, ADamagedLogGivesOneErrorBoxAndNoWindow) {
  host.WriteFile(kLog, "not a log");
  uninst::WindowDialogs windows(platform(), backend);
  bool released = false;
  uninst::UninstallReport report =
      uninst::RunUninstall(platform(), kLog, windows, [&] { released = true; });
  EXPECT_FALSE(report.error.empty());
  EXPECT_EQ(windows.Window(), nullptr);
  EXPECT_FALSE(released);
  EXPECT_TRUE(Exists(kLog));
  auto boxes = Journal("messageBox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["style"], sys::kMbOk | sys::kMbIconError);
  EXPECT_EQ(boxes[0]["caption"], sys::sandbox::GbkToUtf8("卸载"));
}

TEST_F(ProgressWindowTest, TheRestartQuestionComesAfterTheWindowIsHidden) {
  InstallProduct();
  platform().SetAnswers({sys::kIdYes, sys::kIdNo});
  platform().InjectFault(sys::sandbox::FaultRule{sys::sandbox::FaultOp::Remove, "core.dll", 32, 0});
  uninst::WindowDialogs windows(platform(), backend);
  uninst::UninstallReport report = uninst::RunUninstall(platform(), kLog, windows);
  ASSERT_TRUE(report.Completed());
  EXPECT_FALSE(windows.Window()->Visible());
  auto boxes = Journal("messageBox");
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_NE(boxes[1]["text"].get<std::string>().find(sys::sandbox::GbkToUtf8("C:\\App\\Sub\\core.dll")), std::string::npos)
      << boxes[1]["text"];
}

TEST(ProgressWindow, TheCloseBoxDoesNotStopTheUninstall) {
  ui::HeadlessBackend backend;
  uninst::ProgressWindow window(backend, "卸载“X”");
  window.ShowStep("C:\\X\\a.exe", 1, 4);
  ui::CloseForm(window);
  EXPECT_TRUE(window.Visible());
  EXPECT_EQ(window.ModalResult(), ui::kMrNone);
}

TEST(ProgressWindow, StepCountsBeyondTheBarsRangeAreScaledNotWrapped) {
  ui::HeadlessBackend backend;
  uninst::ProgressWindow window(backend, "卸载“X”");
  auto* bar = window.Find<ui::ProgressBar>("pbSteps");
  const size_t huge = size_t{1} << 40;
  window.ShowStep("a", huge / 2, huge);
  EXPECT_GT(bar->Max(), 0);
  EXPECT_NEAR(static_cast<double>(bar->Position()) / bar->Max(), 0.5, 0.001);
  window.ShowStep("b", 3, 0);  // an empty log: a bar of one step, never a range of 0..0
  EXPECT_EQ(bar->Max(), 1);
  EXPECT_EQ(bar->Position(), 0);
}

}  // namespace
}  // namespace uninsttest
