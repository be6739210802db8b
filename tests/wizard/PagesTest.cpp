// The tasks, ready, progress and finish pages: what each shows from the settings, what the
// person's choices write into the options, the summary lines, and the progress rules.
#include <gtest/gtest.h>

#include "tests/wizard/WizardFixture.h"
#include "ui/CheckBox.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Memo.h"
#include "ui/ProgressBar.h"

namespace wizardtest {
namespace {

using Pages = WizardTest;

TEST_F(Pages, TasksOfferOnlyTheShortcutsTheProjectOffers) {
  EnableLastPages();
  builder.Setting("创建桌面快捷方式", "启用", 9);
  builder.Setting("创建快速启栏快捷方式", "禁用", 9);
  OpenFrame();
  auto& tasks = Page<TfrmAddonsTask>();
  EXPECT_EQ(tasks.Label1->Caption(),
            "选择您想要安装程序在安装“演示”的时候执行的附加任务，点击“下一步”按钮继续后面的操作。");
  EXPECT_TRUE(tasks.CheckBox1->Visible());
  EXPECT_TRUE(tasks.CheckBox1->Checked());
  EXPECT_FALSE(tasks.CheckBox2->Visible());
  EXPECT_FALSE(tasks.CheckBox2->Checked());
  EXPECT_EQ(compile->Options.DesktopIcon, 1);
  EXPECT_EQ(compile->Options.QuickLaunchIcon, 0);
  EXPECT_THROW(ui::SetCheck(*frame, "CheckBox2", true), ui::AutomationError)
      << "a shortcut the project does not offer cannot be added";

  ui::SetCheck(*frame, "CheckBox1", false);
  EXPECT_EQ(compile->Options.DesktopIcon, 0);
  ui::SetCheck(*frame, "CheckBox1", true);
  EXPECT_EQ(compile->Options.DesktopIcon, 1);
}

TEST_F(Pages, TasksWithNothingOfferedShowOnlyTheirTexts) {
  EnableLastPages();
  OpenFrame();
  auto& tasks = Page<TfrmAddonsTask>();
  EXPECT_FALSE(tasks.CheckBox1->Visible());
  EXPECT_FALSE(tasks.CheckBox2->Visible());
  EXPECT_EQ(compile->Options.DesktopIcon, 0);
  EXPECT_EQ(compile->Options.QuickLaunchIcon, 0);
  EXPECT_TRUE(tasks.Label2->Visible());
}

TEST_F(Pages, TasksLoadTheirSettingsOnTheFirstAssignmentOnly) {
  EnableLastPages();
  builder.Setting("创建桌面快捷方式", "启用", 9);
  OpenFrame();
  ui::SetCheck(*frame, "CheckBox1", false);
  Next();
  ui::ClickButton(*frame, "bPrevious");
  EXPECT_FALSE(Page<TfrmAddonsTask>().CheckBox1->Checked()) << "the page keeps the person's choice";
  EXPECT_EQ(compile->Options.DesktopIcon, 0);
}

TEST_F(Pages, HeaderPicturesLoadWhenTheirFileExists) {
  host.WriteFile("C:\\Temp\\Info\\title.bmp", std::string("BM") + std::string(60, '\0'));
  EnableLastPages();
  builder.Setting("标题图片", "C:\\Temp\\Info\\title.bmp", 9);
  builder.Setting("标题图片", "C:\\Temp\\Info\\missing.bmp", 10);
  OpenFrame();
  auto& tasks = Page<TfrmAddonsTask>();
  EXPECT_EQ(tasks.Image6->PicturePath(), "C:\\Temp\\Info\\title.bmp");
  EXPECT_EQ(tasks.Image6->GetAlign(), ui::Align::Top);
  EXPECT_EQ(tasks.Image6->Height(), 57);
  Next();
  EXPECT_FALSE(Page<TfrmReadyIns>().Image6->HasPicture()) << "a missing picture leaves it empty";
}

class ReadyTest : public WizardTest {
 protected:
  std::vector<std::string> Summary() { return Page<TfrmReadyIns>().Memo1->Lines(); }
};

TEST_F(ReadyTest, SummaryLinesHaveTwoLeadingSpacesAndAnEmptyLineAfterEach) {
  EnableLastPages();
  builder.Setting("创建桌面快捷方式", "启用", 9);
  builder.Setting("创建快速启栏快捷方式", "启用", 9);
  builder.Setting("默认文件夹名称", "演示软件", 6);
  OpenFrame();
  Next();
  EXPECT_EQ(Summary(), (std::vector<std::string>{
                           "",
                           "  “演示”安装到“C:\\Apps\\Demo”文件夹下",
                           "",
                           "  创建快捷方式到桌面",
                           "",
                           "  创建快捷方式到快速启栏中",
                           "",
                           "  创建快捷方式到开始菜单的“演示软件”文件夹中",
                           "",
                       }));
  auto& ready = Page<TfrmReadyIns>();
  EXPECT_EQ(ready.Memo1->Text().substr(0, 4), "\r\n  ");
  EXPECT_TRUE(ready.Memo1->ReadOnly());
  EXPECT_EQ(ready.Memo1->Parent(), static_cast<ui::Control*>(ready.Panel1));
  EXPECT_EQ(ready.Label11->Caption(), "安装程序现在开始准备安装“演示”到您的电脑中");
}

TEST_F(ReadyTest, AnEmptyStartMenuFolderStillGetsItsLineAndNoStartMenuNone) {
  EnableLastPages();
  OpenFrame();
  Next();
  EXPECT_EQ(Summary().back(), "");
  EXPECT_EQ(Summary()[Summary().size() - 2], "  创建快捷方式到开始菜单的“”文件夹中");

  compile->Options.CreateStartMenu = 0;
  ui::ClickButton(*frame, "bPrevious");
  Next();
  EXPECT_EQ(Summary(), (std::vector<std::string>{"", "  “演示”安装到“C:\\Apps\\Demo”文件夹下", ""}));
}

TEST_F(ReadyTest, TheSummaryIsRebuiltAfterGoingBack) {
  EnableLastPages();
  builder.Setting("创建桌面快捷方式", "启用", 9);
  OpenFrame();
  Next();
  EXPECT_EQ(Summary()[3], "  创建快捷方式到桌面");
  ui::ClickButton(*frame, "bPrevious");
  ui::SetCheck(*frame, "CheckBox1", false);
  Next();
  for (const std::string& line : Summary()) EXPECT_NE(line, "  创建快捷方式到桌面");
}

struct PercentCase {
  int64_t position, max;
  const char* text;
};

void PrintTo(const PercentCase& c, std::ostream* os) { *os << c.position << " of " << c.max; }

class Percent : public testing::TestWithParam<PercentCase> {};

TEST_P(Percent, ShowsTheRoundedShareAndAHundredOnlyAtTheEnd) {
  EXPECT_EQ(wizard::ProgressPercentText(GetParam().position, GetParam().max), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, Percent,
                         testing::Values(PercentCase{3, 3, "100%"}, PercentCase{1, 3, "33%"},
                                         PercentCase{2, 3, "67%"}, PercentCase{1, 8, "13%"},
                                         PercentCase{0, 5, "0%"}, PercentCase{999, 1000, "99%"},
                                         PercentCase{1999, 2000, "99%"}, PercentCase{0, 0, "100%"},
                                         PercentCase{7, 0, "0%"}, PercentCase{9, 3, "99%"}));

class ProgressTest : public WizardTest {
 protected:
  TfrmBeginIns& Progress(bool detail) {
    builder.Setting("安装详细信息", detail ? "启用" : "禁用", 11);
    EnablePages({"安装进程"});
    Load();
    page = std::make_unique<TfrmBeginIns>(backend);
    page->SetCompile(*compile);
    return *page;
  }
  std::unique_ptr<TfrmBeginIns> page;
};

TEST_F(ProgressTest, StepMessagesGoToTheLogEvenHiddenAndNeverMoveTheBar) {
  TfrmBeginIns& progress = Progress(false);
  EXPECT_FALSE(progress.mInstall->Visible());
  progress.CompileProgress("C:\\Apps\\Demo\\a.exe", "正在安装文件", 1, 3);
  const std::string label = progress.Label30->Caption();
  progress.CompileProgress("", "正在创建快捷方式，请稍候...", -1, -1);
  EXPECT_EQ(progress.ProgressBar1->Position(), 1);
  EXPECT_EQ(progress.ProgressBar1->Max(), 3);
  EXPECT_EQ(progress.Label30->Caption(), label);
  EXPECT_EQ(progress.Label31->Caption(), "33%");
  EXPECT_EQ(progress.mInstall->Lines(), (std::vector<std::string>{"正在创建快捷方式，请稍候..."}))
      << "a hidden log takes step messages but no file lines";
}

TEST_F(ProgressTest, FileReportsSetTheLabelTheBarAndWithDetailsTheLog) {
  TfrmBeginIns& progress = Progress(true);
  EXPECT_TRUE(progress.mInstall->Visible());
  const int calls = backend.ProcessMessagesCalls();
  progress.CompileProgress("C:\\Apps\\Demo\\a.exe", "正在安装文件", 2, 3);
  progress.CompileProgress("C:\\Apps\\Demo\\b.exe", "正在安装文件", 3, 3);
  EXPECT_EQ(progress.Label30->Caption(), "C:\\Apps\\Demo\\b.exe");
  EXPECT_EQ(progress.Label31->Caption(), "100%");
  EXPECT_EQ(progress.ProgressBar1->Position(), 3);
  EXPECT_EQ(progress.mInstall->Lines(),
            (std::vector<std::string>{"正在安装文件“C:\\Apps\\Demo\\a.exe”",
                                      "正在安装文件“C:\\Apps\\Demo\\b.exe”"}));
  EXPECT_EQ(backend.ProcessMessagesCalls(), calls + 2) << "every report lets the window repaint";
}

TEST_F(ProgressTest, RunInstallReportsThroughThePageAndInstalls) {
  TfrmBeginIns& progress = Progress(true);
  progress.RunInstall();
  EXPECT_TRUE(platform().FileExists("C:\\Apps\\Demo\\app.exe"));
  EXPECT_EQ(progress.Label31->Caption(), "100%");
  EXPECT_EQ(progress.ProgressBar1->Position(), progress.ProgressBar1->Max());
  EXPECT_EQ(progress.mInstall->Lines().front(), "正在创建安装文件夹，请稍候...");
}

TEST_F(ProgressTest, AReportBeyondThirtyTwoBitsNeverGivesTheBarANegativeRange) {
  TfrmBeginIns& progress = Progress(false);
  EXPECT_NO_THROW(progress.CompileProgress("x", "正在安装文件", 1, int64_t{1} << 40));
  EXPECT_GE(progress.ProgressBar1->Max(), progress.ProgressBar1->Min());
}

class EndTest : public WizardTest {
 protected:
  TfrmEndIns& Finish() {
    EnablePages({"安装完毕"});
    OpenFrame();
    return Page<TfrmEndIns>();
  }
};

TEST_F(EndTest, OffersToRunTheProgramAndOpenTheReadmeWhenTheyAreSet) {
  builder.Setting("应用程序文件", "X:\\src\\app.exe", 12);
  builder.Setting("Readme文件", "X:\\src\\readme.txt", 12);
  TfrmEndIns& end = Finish();
  EXPECT_EQ(end.Lb_Insted_Prog->Caption(), "“演示”安装向导已完成安装");
  EXPECT_EQ(end.Label1->Caption(),
            "安装程序已在您电脑中成功安装了“演示”，此应用程序可通过快捷方式启动运行。");
  EXPECT_TRUE(end.CheckBox1->Visible());
  EXPECT_TRUE(end.CheckBox1->Checked());
  EXPECT_EQ(end.CheckBox1->Caption(), "运行“演示”");
  EXPECT_TRUE(end.CheckBox2->Visible());
  EXPECT_EQ(end.Lb_Insted_Prog->GetFont().Height, 16);
  EXPECT_TRUE(end.Lb_Insted_Prog->GetFont().Bold);

  ui::SetCheck(*frame, "CheckBox1", false);
  EXPECT_EQ(compile->Options.RunApp, 0);
  ui::SetCheck(*frame, "CheckBox2", false);
  EXPECT_EQ(compile->Options.ShowReadme, 0);
}

TEST_F(EndTest, ThePictureHasThePageAsItsPlaceAndShowsAtItsOwnSize) {
  host.WriteFile("C:\\Temp\\Info\\side.bmp", std::string("BM") + std::string(60, '\0'));
  builder.Setting("背景图片", "C:\\Temp\\Info\\side.bmp", 12);
  TfrmEndIns& end = Finish();
  EXPECT_EQ(end.Image9->PicturePath(), "C:\\Temp\\Info\\side.bmp");
  EXPECT_EQ(end.Image9->GetAlign(), ui::Align::Client);
  EXPECT_FALSE(end.Image9->Stretch()) << "a side picture is not stretched under the texts";
}

TEST_F(EndTest, AnEmptyProgramSettingShowsNoRunBox) {
  builder.Setting("应用程序文件", "", 12);
  TfrmEndIns& end = Finish();
  EXPECT_FALSE(end.CheckBox1->Visible());
  EXPECT_FALSE(end.CheckBox2->Visible());
  EXPECT_EQ(compile->Options.RunApp, 0);
}

}  // namespace
}  // namespace wizardtest
