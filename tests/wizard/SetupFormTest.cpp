// The wizard frame on the headless backend: which pages it builds and in what order, the
// buttons on each page, the close questions, the finish actions, a failed install, the author
// link and the music.
#include <gtest/gtest.h>

#include "system/Error.h"
#include "tests/wizard/WizardFixture.h"
#include "ui/Label.h"
#include "ui/MediaPlayer.h"
#include "ui/Timer.h"

namespace wizardtest {
namespace {

constexpr int kMbYesNoQuestion = 0x24;
constexpr int kMbOkInformation = 0x40;

std::vector<std::string> Classes(const std::vector<wizard::PageForm*>& pages) {
  std::vector<std::string> names;
  for (wizard::PageForm* page : pages) names.push_back(page->ClassName());
  return names;
}

using Frame = WizardTest;

TEST_F(Frame, PagesFollowThePageTableWhateverTheOrderOfTheSwitches) {
  RegisterStandIns();
  EnablePages({"安装完毕", "附加任务", "选择安装文件夹", "欢迎", "安装进程", "确认安装", "软件使用说明",
               "选择开始菜单文件夹", "安装协议", "选择安装组件包"});
  OpenFrame();
  EXPECT_EQ(Classes(frame->Pages()),
            (std::vector<std::string>{"TfrmFist", "TfrmProtocol", "TfrmSoftExplaion",
                                      "TfrmStartFolder", "TfrmSelComponent", "TfrmSelectInstallDir",
                                      "TfrmAddonsTask", "TfrmReadyIns", "TfrmBeginIns",
                                      "TfrmEndIns"}));
  EXPECT_EQ(Current(), "TfrmFist");
  EXPECT_EQ(frame->PageIndex(), 0);
}

TEST_F(Frame, OnlyExactlyEnabledSwitchesOfKnownPagesMakePages) {
  builder.Setting("附加任务", "启用 ", 1);   // not exactly "启用"
  builder.Setting("安装完毕", "禁用", 1);
  builder.Setting("安装进程", "启用", 1);
  builder.Setting("未知页面", "启用", 1);
  builder.Setting("确认安装", "启用", 2);   // a page attribute, not a switch
  builder.Setting("确认安装", "启用", 1);
  OpenFrame();
  EXPECT_EQ(Classes(frame->Pages()), (std::vector<std::string>{"TfrmReadyIns", "TfrmBeginIns"}));
}

TEST_F(Frame, PagesOfUnregisteredClassesAreLeftOut) {
  EnablePages({"欢迎", "安装协议", "附加任务", "选择安装文件夹", "确认安装", "安装进程", "安装完毕"});
  OpenFrame();
  EXPECT_EQ(Classes(frame->Pages()), (std::vector<std::string>{"TfrmAddonsTask", "TfrmReadyIns",
                                                               "TfrmBeginIns", "TfrmEndIns"}));
  EXPECT_FALSE(frame->bPrevious->Visible()) << "the first page that exists is the first page";
}

TEST_F(Frame, EveryPageSitsInThePageAreaAndLoadsOnlyWhenReached) {
  RegisterStandIns();
  EnablePages({"欢迎", "安装协议"});
  OpenFrame();
  auto& welcome = static_cast<StandInPage&>(*frame->Pages()[0]);
  auto& licence = static_cast<StandInPage&>(*frame->Pages()[1]);
  for (wizard::PageForm* page : frame->Pages()) {
    EXPECT_EQ(page->Parent(), static_cast<ui::Control*>(frame->Panel1));
    EXPECT_EQ(page->GetBorderStyle(), ui::BorderStyle::None);
    EXPECT_EQ(page->GetAlign(), ui::Align::Client);
    // The pages behind are hidden: on Windows their accelerators would still answer keys.
    EXPECT_EQ(page->Visible(), page == &welcome) << page->ClassName();
  }
  EXPECT_EQ(welcome.loads, 1);
  EXPECT_EQ(licence.loads, 0);
  Next();
  ui::ClickButton(*frame, "bPrevious");
  Next();
  EXPECT_EQ(welcome.loads, 1);
  EXPECT_EQ(licence.loads, 1) << "settings load on the first assignment only";
  EXPECT_EQ(frame->Panel1->Children().back(), static_cast<ui::Control*>(&licence))
      << "the current page is in front";
  EXPECT_TRUE(licence.Visible());
  EXPECT_FALSE(welcome.Visible());
}

TEST_F(Frame, ButtonsFollowThePageTable) {
  RegisterStandIns();
  EnablePages({"欢迎", "安装协议", "附加任务", "确认安装", "安装进程", "安装完毕"});
  OpenFrame();
  EXPECT_EQ(frame->Caption(), "“演示”安装向导");
  EXPECT_EQ(frame->ClientWidth(), 508);
  EXPECT_EQ(frame->ClientHeight(), 331);

  // First page: no Previous.
  EXPECT_FALSE(frame->bPrevious->Visible());
  EXPECT_EQ(frame->bNext->Caption(), "下一步(&N)->");
  EXPECT_TRUE(frame->bNext->Enabled());
  EXPECT_EQ(frame->bCancel->Caption(), "取消(&C)");
  EXPECT_TRUE(frame->bCancel->Enabled());

  Next();  // licence
  EXPECT_TRUE(frame->bPrevious->Visible());
  EXPECT_EQ(frame->bNext->Caption(), "我同意(&T)");
  ui::ClickButton(*frame, "bPrevious");
  EXPECT_EQ(Current(), "TfrmFist");
  EXPECT_EQ(frame->bNext->Caption(), "下一步(&N)->");
  EXPECT_FALSE(frame->bPrevious->Visible());

  WalkTo("TfrmReadyIns");
  EXPECT_EQ(frame->bNext->Caption(), "下一步(&N)->");
  EXPECT_TRUE(frame->bPrevious->Visible());
  EXPECT_EQ(frame->Tag(), TfrmParent::kCloseWizard);

  struct Seen {
    bool previous, next, cancel;
    int tag;
  };
  std::vector<Seen> during;
  backend.OnProcessMessages = [&] {
    during.push_back({frame->bPrevious->Enabled(), frame->bNext->Enabled(),
                      frame->bCancel->Enabled(), frame->Tag()});
  };
  Next();  // the progress page installs, then the finish page follows
  backend.OnProcessMessages = nullptr;
  ASSERT_FALSE(during.empty());
  for (const Seen& seen : during) {
    EXPECT_FALSE(seen.previous);
    EXPECT_FALSE(seen.next);
    EXPECT_FALSE(seen.cancel);
    EXPECT_EQ(seen.tag, TfrmParent::kCloseInstalling);
  }

  EXPECT_EQ(Current(), "TfrmEndIns");
  EXPECT_FALSE(frame->bPrevious->Visible());
  EXPECT_FALSE(frame->bNext->Visible());
  EXPECT_EQ(frame->bCancel->Caption(), "完成(&F)");
  EXPECT_TRUE(frame->bCancel->Enabled());
  EXPECT_EQ(frame->FocusedControl(), frame->bCancel);
  EXPECT_EQ(frame->Tag(), TfrmParent::kCloseFinished);
}

TEST_F(Frame, NextIsOfferedOnlyWhereThereIsAPageToGoTo) {
  EnablePages({"附加任务"});
  OpenFrame();
  EXPECT_FALSE(frame->bNext->Enabled());
  EXPECT_THROW(Next(), ui::AutomationError);
}

TEST_F(Frame, WithoutPagesOnlyCancelIsOffered) {
  OpenFrame();
  EXPECT_TRUE(frame->Pages().empty());
  EXPECT_EQ(frame->CurrentPage(), nullptr);
  EXPECT_FALSE(frame->bPrevious->Visible());
  EXPECT_FALSE(frame->bNext->Enabled());
  Answers({sys::kIdYes});
  ui::ClickButton(*frame, "bCancel");
  EXPECT_FALSE(frame->Visible());
}

TEST_F(Frame, AProgressPageWithoutAPageBehindItOffersFinishItself) {
  EnablePages({"确认安装", "安装进程"});
  OpenFrame();
  Next();
  EXPECT_EQ(Current(), "TfrmBeginIns");
  EXPECT_EQ(frame->Tag(), TfrmParent::kCloseFinished);
  EXPECT_EQ(frame->bCancel->Caption(), "完成(&F)");
  EXPECT_TRUE(frame->bCancel->Enabled());
  EXPECT_EQ(frame->FocusedControl(), frame->bCancel);
  EXPECT_FALSE(frame->bNext->Visible());
  EXPECT_TRUE(platform().FileExists("C:\\Apps\\Demo\\app.exe"));
}

TEST_F(Frame, CancelBeforeTheInstallAsksAndNoKeepsThePage) {
  EnableLastPages();
  Answers({sys::kIdNo, sys::kIdYes});
  OpenFrame();
  Next();
  ASSERT_EQ(Current(), "TfrmReadyIns");

  ui::ClickButton(*frame, "bCancel");
  EXPECT_TRUE(frame->Visible());
  EXPECT_EQ(Current(), "TfrmReadyIns");
  auto asked = Journal("messageBox");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0]["text"], U8("安装向导没有完成“演示”安装，确定要退出该安装向导吗？"));
  EXPECT_EQ(asked[0]["caption"], U8("“演示”安装向导"));
  EXPECT_EQ(asked[0]["style"], kMbYesNoQuestion);

  ui::CloseForm(*frame);  // the close box asks the same question; Yes ends the wizard
  EXPECT_FALSE(frame->Visible());
  EXPECT_EQ(Journal("messageBox").size(), 2u);
  EXPECT_FALSE(platform().FileExists("C:\\Apps\\Demo\\app.exe"));
}

TEST_F(Frame, ClosingIsRefusedWithoutAQuestionWhileInstalling) {
  EnableLastPages();
  OpenFrame();
  WalkTo("TfrmReadyIns");
  int refused = 0;
  backend.OnProcessMessages = [&] {
    frame->Close();
    if (frame->Visible()) ++refused;
  };
  Next();
  backend.OnProcessMessages = nullptr;
  EXPECT_GT(refused, 0);
  EXPECT_TRUE(Journal("messageBox").empty());
  EXPECT_EQ(Current(), "TfrmEndIns");
}

class FinishTest : public WizardTest {
 protected:
  void Finishing(const std::string& reboot) {
    EnableLastPages();
    builder.Setting("应用程序文件", "X:\\src\\app.exe", 12);
    builder.Setting("Readme文件", "X:\\src\\readme.txt", 12);
    builder.Setting("安装完成后弹出信息提示", "感谢安装", 0);
    builder.Setting("安装完成后，重启操作系统", reboot, 0);
    OpenFrame();
    WalkTo("TfrmEndIns");
  }
};

TEST_F(FinishTest, FinishOpensTheProgramThenTheReadmeThenSaysTheHintThenAsksAboutRestart) {
  Finishing("启用");
  Answers({sys::kIdYes});
  const size_t before = host.Journal().size();
  ui::ClickButton(*frame, "bCancel");
  EXPECT_FALSE(frame->Visible());

  auto journal = host.Journal();
  std::vector<std::string> ops;
  for (size_t i = before; i < journal.size(); ++i) ops.push_back(journal[i]["op"]);
  EXPECT_EQ(ops, (std::vector<std::string>{"shellRun", "shellRun", "messageBox", "messageBox",
                                           "shutdownPrivilege", "restart"}));
  EXPECT_EQ(journal[before]["file"], "C:\\Apps\\Demo\\app.exe");
  EXPECT_EQ(journal[before]["directory"], "C:\\Apps\\Demo\\");
  EXPECT_EQ(journal[before + 1]["file"], "C:\\Apps\\Demo\\readme.txt");
  EXPECT_EQ(journal[before + 2]["text"], U8("感谢安装"));
  EXPECT_EQ(journal[before + 2]["style"], kMbOkInformation);
  EXPECT_EQ(journal[before + 3]["text"],
            U8("“演示”安装向导需要重启操作系统，方可完成安装。要自动重启吗？"));
}

TEST_F(FinishTest, UntickedChoicesAreNotOpened) {
  Finishing("禁用");
  ui::SetCheck(*frame, "CheckBox1", false);
  ui::SetCheck(*frame, "CheckBox2", false);
  ui::ClickButton(*frame, "bCancel");
  EXPECT_TRUE(Journal("shellRun").empty());
  EXPECT_EQ(Journal("messageBox").size(), 1u) << "only the finish hint";
}

TEST_F(FinishTest, TheCloseBoxOnTheFinishPageOnlyAsksAboutTheRestart) {
  Finishing("启用");
  Answers({sys::kIdNo});
  ui::CloseForm(*frame);
  EXPECT_FALSE(frame->Visible());
  EXPECT_TRUE(Journal("shellRun").empty());
  auto asked = Journal("messageBox");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0]["style"], kMbYesNoQuestion);
  EXPECT_TRUE(Journal("restart").empty());
}

class RestartSwitch : public FinishTest, public testing::WithParamInterface<const char*> {};

TEST_P(RestartSwitch, OnlyExactlyEnabledAsksAboutTheRestart) {
  Finishing(GetParam());
  ui::CloseForm(*frame);
  EXPECT_FALSE(frame->Visible());
  EXPECT_EQ(Journal("messageBox").size(), std::string(GetParam()) == "启用" ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Values, RestartSwitch, testing::Values("启用", "禁用", "启用 ", ""));

TEST_F(Frame, AFailedInstallSaysSoOffersOnlyClosingAndRunsNoFinishAction) {
  EnableLastPages();
  builder.Setting("应用程序文件", "X:\\src\\app.exe", 12);
  builder.Setting("安装完成后弹出信息提示", "感谢安装", 0);
  builder.Setting("安装完成后，重启操作系统", "启用", 0);
  platform().InjectFault({sys::sandbox::FaultOp::Create, "readme.txt", sys::kErrorAccessDenied});
  OpenFrame();
  WalkTo("TfrmReadyIns");

  std::vector<std::string> reported;
  ui::SetErrorReporter([&](const std::exception& error) { reported.push_back(error.what()); });
  Next();
  ui::SetErrorReporter(nullptr);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0], "Cannot create file \"C:\\Apps\\Demo\\readme.txt\"");

  auto& progress = Page<TfrmBeginIns>();
  EXPECT_EQ(Current(), "TfrmBeginIns");
  EXPECT_EQ(progress.Label28->Caption(), "安装失败，安装程序没有完成安装。");
  EXPECT_EQ(progress.Label30->Caption(), "安装没有完成：无法创建文件“C:\\Apps\\Demo\\readme.txt”。");
  EXPECT_TRUE(progress.mInstall->Visible());
  EXPECT_EQ(frame->Tag(), TfrmParent::kCloseFailed);
  EXPECT_FALSE(frame->bNext->Enabled());
  EXPECT_FALSE(frame->bPrevious->Enabled());
  EXPECT_EQ(frame->bCancel->Caption(), "取消(&C)");
  EXPECT_EQ(frame->FocusedControl(), frame->bCancel);

  ui::ClickButton(*frame, "bCancel");
  EXPECT_FALSE(frame->Visible());
  EXPECT_TRUE(Journal("messageBox").empty()) << "no exit question, no hint, no restart";
  EXPECT_TRUE(Journal("shellRun").empty());
}

TEST_F(Frame, TheAuthorLinkLightsUpAndOpensTheAddress) {
  builder.Setting("作者名称", "演示公司");
  builder.Setting("作者网址", "http://www.example.com/");
  EnableLastPages();
  OpenFrame();
  EXPECT_EQ(frame->Label1->Caption(), "演示公司");
  EXPECT_EQ(frame->Label1->Hint(), "http://www.example.com/");
  EXPECT_EQ(frame->Label1->Left(), 8);
  EXPECT_EQ(frame->Label1->Top(), 309);

  frame->Label1->MouseEnter();
  EXPECT_EQ(frame->Label1->GetFont().Color, ui::kClBlue);
  EXPECT_EQ(frame->Label1->GetCursor(), ui::Cursor::HandPoint);
  frame->Label1->MouseLeave();
  EXPECT_EQ(frame->Label1->GetFont().Color, ui::kClBlack);
  EXPECT_EQ(frame->Label1->GetCursor(), ui::Cursor::Default);

  frame->Label1->Click();
  auto opened = Journal("shellRun");
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0]["verb"], "open");
  EXPECT_EQ(opened[0]["file"], "http://www.example.com/");
  EXPECT_EQ(opened[0]["parameters"], "");
  EXPECT_EQ(opened[0]["directory"], "");
  EXPECT_EQ(opened[0]["show"], 3);
}

TEST_F(Frame, WithoutMusicTheTimerSwitchesItselfOff) {
  OpenFrame();
  EXPECT_TRUE(frame->tMedia->Enabled());
  backend.FireTimer(*frame, "tMedia");
  EXPECT_FALSE(frame->tMedia->Enabled());
  EXPECT_TRUE(frame->MPlay->FileName().empty());
}

TEST_F(Frame, TheMusicStartsAgainWithinASecondOfItsEnd) {
  host.WriteFile("C:\\Temp\\music.mid", "MThd");
  BackgroundMusicFile = "C:\\Temp\\music.mid";
  OpenFrame();
  EXPECT_EQ(frame->MPlay->FileName(), "C:\\Temp\\music.mid");
  backend.AdvanceClock(backend.MediaLengthMs + 1000);
  EXPECT_TRUE(frame->tMedia->Enabled());
  EXPECT_LT(frame->MPlay->Position(), frame->MPlay->Length()) << "played again from the start";
}

TEST_F(Frame, MusicThatCannotBeOpenedIsDropped) {
  BackgroundMusicFile = "C:\\Temp\\missing.mid";
  OpenFrame();
  backend.FireTimer(*frame, "tMedia");
  EXPECT_FALSE(frame->tMedia->Enabled());
}

}  // namespace
}  // namespace wizardtest
