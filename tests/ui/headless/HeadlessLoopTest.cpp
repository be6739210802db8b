// The headless backend's modal loop, virtual clock and scripted person: what the wizard tests
// and setup-tool simulate build on. A loop that could wait forever must fail, never hang.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/host/SandboxHost.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/MediaPlayer.h"
#include "ui/Memo.h"
#include "ui/Panel.h"
#include "ui/ProgramError.h"
#include "ui/ProgressBar.h"
#include "ui/Timer.h"
#include "ui/headless/Automation.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

using ui::AutomationError;

// Expects AutomationError whose message holds every one of parts.
template <class F>
void ExpectAutomationError(F action, const std::vector<std::string>& parts) {
  try {
    action();
    ADD_FAILURE() << "no AutomationError";
  } catch (const AutomationError& e) {
    for (const std::string& part : parts) {
      EXPECT_NE(std::string(e.what()).find(part), std::string::npos)
          << "message [" << e.what() << "] lacks [" << part << "]";
    }
  }
}

TEST(HeadlessClock, TimersFireInDeadlineOrderOnlyWhenTheClockMoves) {
  ui::HeadlessBackend backend;
  ui::Form form(backend, "TfrmTimers");
  std::vector<std::string> fired;
  auto* slow = form.Add<ui::Timer>("Slow");
  slow->OnTimer = [&] { fired.push_back("slow@" + std::to_string(backend.Now())); };
  auto* fast = form.Add<ui::Timer>("Fast");
  fast->SetInterval(400);
  fast->OnTimer = [&] { fired.push_back("fast@" + std::to_string(backend.Now())); };
  auto* off = form.Add<ui::Timer>("Off");
  off->SetEnabled(false);
  off->OnTimer = [&] { fired.push_back("off"); };

  backend.AdvanceClock(399);
  EXPECT_TRUE(fired.empty());
  backend.AdvanceClock(1001);
  EXPECT_EQ(fired, (std::vector<std::string>{"fast@400", "fast@800", "slow@1000", "fast@1200"}));
  EXPECT_EQ(backend.Now(), 1400);
}

TEST(HeadlessClock, EnablingAgainRestartsTheCountAndAHandlerMayStopItsTimer) {
  ui::HeadlessBackend backend;
  ui::Form form(backend, "TfrmTimers");
  auto* timer = form.Add<ui::Timer>("tMedia");
  int ticks = 0;
  timer->OnTimer = [&] {
    ++ticks;
    timer->SetEnabled(false);
  };
  backend.AdvanceClock(5000);
  EXPECT_EQ(ticks, 1);
  backend.AdvanceClock(700);
  timer->SetEnabled(true);
  backend.AdvanceClock(999);
  EXPECT_EQ(ticks, 1);
  backend.AdvanceClock(1);
  EXPECT_EQ(ticks, 2);
}

TEST(HeadlessClock, ANewIntervalRestartsTheCountAndZeroStopsTheTimer) {
  ui::HeadlessBackend backend;
  ui::Form form(backend, "TfrmInstall");
  auto* timer = form.Add<ui::Timer>("Timer");
  std::vector<int64_t> ticks;
  timer->OnTimer = [&] { ticks.push_back(backend.Now()); };
  backend.AdvanceClock(900);
  timer->SetInterval(10);
  backend.AdvanceClock(25);
  EXPECT_EQ(ticks, (std::vector<int64_t>{910, 920}));
  timer->SetInterval(0);
  backend.AdvanceClock(100000);
  EXPECT_EQ(ticks.size(), 2u);
  ExpectAutomationError([&] { form.ShowModal(); }, {"waits for nothing"});
}

TEST(HeadlessClock, FireTimerFailsLoudlyOnAMissingOrDisabledTimer) {
  ui::HeadlessBackend backend;
  ui::Form form(backend, "TfrmInitIns");
  auto* timer = form.Add<ui::Timer>("Timer1");
  int ticks = 0;
  timer->OnTimer = [&] { ++ticks; };
  backend.FireTimer(form, "Timer1");
  EXPECT_EQ(ticks, 1);
  ExpectAutomationError([&] { backend.FireTimer(form, "Timer2"); }, {"TfrmInitIns", "Timer2"});
  timer->SetEnabled(false);
  ExpectAutomationError([&] { backend.FireTimer(form, "Timer1"); }, {"Timer1", "disabled"});
  EXPECT_EQ(ticks, 1);
}

TEST(HeadlessModal, ATimerEndsTheLoopWithItsResult) {
  ui::HeadlessBackend backend;
  ui::Form form(backend, "TfrmInitIns");
  auto* timer = form.Add<ui::Timer>("Timer1");
  timer->OnTimer = [&] {
    timer->SetEnabled(false);
    form.SetModalResult(ui::kMrOk);
  };
  int shows = 0;
  form.OnShow = [&] {
    ++shows;
    EXPECT_EQ(backend.ModalStack(), std::vector<ui::Form*>{&form});
  };
  EXPECT_EQ(form.ShowModal(), ui::kMrOk);
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(backend.Now(), 1000);
  EXPECT_FALSE(form.Visible());
  EXPECT_TRUE(backend.ModalStack().empty());
}

TEST(HeadlessModal, ThePersonActsWhenNoTimerIsDueAndNestedLoopsSeeTheirOwnForm) {
  ui::HeadlessBackend backend;
  ui::Form outer(backend, "TfrmBackIns");
  ui::Form inner(backend, "TfrmParent");
  auto* open = outer.Add<ui::Timer>("Timer");
  open->SetInterval(100);
  auto* bOk = inner.Add<ui::Button>("bOk");
  bOk->OnClick = [&] { inner.SetModalResult(ui::kMrOk); };
  int innerResult = 0;
  open->OnTimer = [&] {
    open->SetEnabled(false);
    innerResult = inner.ShowModal();
    outer.Close();
  };
  std::vector<std::string> tops;
  backend.OnIdle = [&](ui::Form& top) {
    tops.push_back(top.ClassName());
    if (&top != &inner) return false;
    ui::ClickButton(top, "bOk");
    return true;
  };
  EXPECT_EQ(outer.ShowModal(), ui::kMrCancel);
  EXPECT_EQ(innerResult, ui::kMrOk);
  EXPECT_EQ(tops, (std::vector<std::string>{"TfrmBackIns", "TfrmParent"}));
  EXPECT_EQ(backend.Now(), 100);
}

TEST(HeadlessModal, AFormWaitingForNothingFailsInsteadOfHanging) {
  ui::HeadlessBackend backend;
  ui::Form form(backend, "TfrmParent");
  form.SetCaption("“演示软件”安装向导");
  form.Add<ui::Button>("bNext")->SetCaption("下一步(&N)->");
  ExpectAutomationError([&] { form.ShowModal(); },
                        {"TfrmParent", "waits for nothing", "下一步(&N)->"});
  EXPECT_TRUE(backend.ModalStack().empty());
}

TEST(HeadlessModal, AFormKeptAliveOnlyByARepeatingTimerFails) {
  ui::HeadlessBackend backend;
  ui::Form form(backend, "TfrmParent");
  int ticks = 0;
  form.Add<ui::Timer>("tMedia")->OnTimer = [&] { ++ticks; };
  ExpectAutomationError([&] { form.ShowModal(); }, {"TfrmParent", "only runs timers"});
  EXPECT_LE(ticks, 601);
}

TEST(HeadlessModal, ShowingAVisibleFormModallyIsRefused) {
  ui::HeadlessBackend backend;
  ui::Form form(backend, "TfrmParent");
  form.Show();
  EXPECT_THROW(form.ShowModal(), ui::ProgramError);
}

TEST(HeadlessModal, TheCloseBoxAsksOnCloseQueryAndARefusalKeepsTheFormOpen) {
  ui::HeadlessBackend backend;
  ui::Form form(backend, "TfrmParent");
  std::vector<bool> answers{false, true};
  int asked = 0;
  form.OnCloseQuery = [&](bool& canClose) { canClose = answers[static_cast<size_t>(asked++)]; };
  int idle = 0;
  backend.OnIdle = [&](ui::Form& top) {
    ++idle;
    ui::CloseForm(top);
    return true;
  };
  EXPECT_EQ(form.ShowModal(), ui::kMrCancel);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(idle, 2) << "the refused close left the loop running";
  ExpectAutomationError([&] { ui::CloseForm(form); }, {"TfrmParent", "not shown"});
}

TEST(HeadlessModal, AnErrorInACloseQueryGoesToTheReporter) {
  ui::HeadlessBackend backend;
  ui::Form form(backend, "TfrmParent");
  form.OnCloseQuery = [](bool&) { throw std::runtime_error("坏了"); };
  form.Show();
  std::vector<std::string> reported;
  ui::SetErrorReporter([&](const std::exception& e) { reported.push_back(e.what()); });
  ui::CloseForm(form);
  ui::SetErrorReporter(nullptr);
  EXPECT_EQ(reported, std::vector<std::string>{"坏了"});
  EXPECT_TRUE(form.Visible());
}

TEST(HeadlessModal, ATimerMayFreeItsOwnFormWhileItFires) {
  ui::HeadlessBackend backend;
  auto doomed = std::make_unique<ui::Form>(backend, "TfrmDoomed");
  auto* timer = doomed->Add<ui::Timer>("Timer");
  timer->OnTimer = [&] { doomed.reset(); };
  ui::Form other(backend, "TfrmOther");
  int otherTicks = 0;
  other.Add<ui::Timer>("Timer")->OnTimer = [&] { ++otherTicks; };
  backend.AdvanceClock(2500);
  EXPECT_EQ(doomed, nullptr);
  EXPECT_EQ(otherTicks, 2);
}

class Automation : public testing::Test {
 protected:
  Automation() : form(backend, "TfrmAddonsTask") {
    form.SetCaption("附加任务");
    panel = form.Add<ui::Panel>("Panel1");
    panel->SetBounds(0, 0, 400, 200);
    bNext = form.Add<ui::Button>("bNext");
    bNext->SetCaption("下一步(&N)->");
    bNext->SetBounds(336, 304, 75, 22);
    box = form.Add<ui::CheckBox>("CheckBox1", panel);
    box->SetCaption("创建桌面快捷方式");
    box->SetBounds(32, 136, 373, 17);
    edit = form.Add<ui::Edit>("Edit1", panel);
    edit->SetBounds(32, 80, 300, 21);
    label = form.Add<ui::Label>("Label1", panel);
    label->SetCaption("附加快捷方式：");
    label->SetBounds(32, 112, 0, 0);
    form.Show();
  }

  ui::HeadlessBackend backend;
  ui::Form form;
  ui::Panel* panel;
  ui::Button* bNext;
  ui::CheckBox* box;
  ui::Edit* edit;
  ui::Label* label;
};

TEST_F(Automation, ActionsTakeThePathsOfAPerson) {
  int nexts = 0;
  bNext->OnClick = [&] { ++nexts; };
  std::vector<bool> clicks;
  box->OnClick = [&] { clicks.push_back(box->Checked()); };
  int changes = 0;
  edit->OnChange = [&] { ++changes; };

  ui::ClickButton(form, "bNext");
  ui::SetCheck(form, "CheckBox1", true);
  ui::SetCheck(form, "CheckBox1", true);
  ui::SetCheck(form, "CheckBox1", false);
  ui::TypeText(form, "Edit1", "D:\\Games\\演示");
  EXPECT_EQ(nexts, 1);
  EXPECT_EQ(clicks, (std::vector<bool>{true, false}));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(edit->Text(), "D:\\Games\\演示");
}

TEST_F(Automation, FailsLoudlyOnAMissingNameAWrongKindOrAnUnreachableControl) {
  ExpectAutomationError([&] { ui::ClickButton(form, "bNxt"); },
                        {"TfrmAddonsTask", "bNxt", "no control", "[下一步(&N)->]"});
  ExpectAutomationError([&] { ui::ClickButton(form, "CheckBox1"); },
                        {"CheckBox1", "is a CheckBox, not a Button"});
  ExpectAutomationError([&] { ui::TypeText(form, "bNext", "x"); }, {"bNext", "not a Edit"});
  bNext->SetEnabled(false);
  ExpectAutomationError([&] { ui::ClickButton(form, "bNext"); }, {"bNext", "disabled"});
  panel->SetEnabled(false);
  ExpectAutomationError([&] { ui::SetCheck(form, "CheckBox1", true); },
                        {"CheckBox1", "disabled"});
  panel->SetEnabled(true);
  box->SetVisible(false);
  ExpectAutomationError([&] { ui::SetCheck(form, "CheckBox1", true); }, {"CheckBox1", "hidden"});
  edit->SetReadOnly(true);
  ExpectAutomationError([&] { ui::TypeText(form, "Edit1", "x"); }, {"Edit1", "read-only"});
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(Automation, FindsControlsOfTheFrontPageFirst) {
  ui::Form back(backend, "TfrmBack");
  ui::Form front(backend, "TfrmFront");
  for (ui::Form* page : {&back, &front}) {
    page->SetBorderStyle(ui::BorderStyle::None);
    page->SetParent(panel);
    page->SetAlign(ui::Align::Client);
    page->Add<ui::Label>("Label10")->SetCaption(page->ClassName());
    page->Show();
  }
  EXPECT_EQ(ui::FindNamed(form, "Label10").Caption(), "TfrmFront");
  back.BringToFront();
  EXPECT_EQ(ui::FindNamed(form, "Label10").Caption(), "TfrmBack");
  EXPECT_EQ(&ui::FindNamed(form, "bNext"), bNext);
  EXPECT_THROW(ui::FindNamed(form, "Label99"), AutomationError);
}

TEST_F(Automation, RenderingListsTheVisibleControlsInReadingOrder) {
  auto* bar = form.Add<ui::ProgressBar>("ProgressBar1");
  bar->SetBounds(24, 98, 446, 19);
  bar->SetPosition(37);
  auto* memo = form.Add<ui::Memo>("Memo1");
  memo->SetBounds(23, 128, 447, 148);
  memo->AddLine("正在创建安装文件夹，请稍候...");
  auto* hidden = form.Add<ui::Label>("Label31");
  hidden->SetCaption("不可见");
  hidden->SetVisible(false);
  form.Add<ui::Timer>("Timer1");
  box->SetChecked(true);
  edit->SetText("C:\\演示");
  bNext->SetEnabled(false);

  EXPECT_EQ(ui::RenderForm(form),
            "[TfrmAddonsTask] 附加任务\n"
            "  Edit Edit1: \"C:\\演示\"\n"
            "  ProgressBar ProgressBar1: 37/100\n"
            "  Label Label1: 附加快捷方式：\n"
            "  Memo Memo1: \n"
            "    | 正在创建安装文件夹，请稍候...\n"
            "  CheckBox CheckBox1: [x] 创建桌面快捷方式\n"
            "  Button bNext: [下一步(&N)->] (disabled)\n");
}

TEST_F(Automation, RenderingShowsOnlyTheFrontPageAndReportsPageChanges) {
  std::vector<std::string> renderings;
  backend.OnRender = [&](const std::string& text) { renderings.push_back(text); };
  ui::Form welcome(backend, "TfrmFist");
  ui::Form licence(backend, "TfrmProtocol");
  welcome.SetCaption("首页");
  licence.SetCaption("安装协议");
  for (ui::Form* page : {&welcome, &licence}) {
    page->SetBorderStyle(ui::BorderStyle::None);
    page->SetParent(panel);
    page->SetAlign(ui::Align::Client);
    page->Add<ui::Label>("Label1")->SetCaption(page->Caption() + "的文字");
    page->Show();
  }
  welcome.BringToFront();
  ASSERT_FALSE(renderings.empty());
  const std::string& last = renderings.back();
  EXPECT_NE(last.find("page [TfrmFist] 首页\n"), std::string::npos) << last;
  EXPECT_NE(last.find("Label Label1: 首页的文字"), std::string::npos) << last;
  EXPECT_EQ(last.find("安装协议"), std::string::npos) << last;
  size_t count = renderings.size();
  welcome.BringToFront();
  EXPECT_EQ(renderings.size(), count) << "an unchanged screen is not rendered twice";
}

TEST(HeadlessMedia, PlaysAnExistingFileOnTheVirtualClock) {
  testsupport::SandboxHost host;
  sys::ScopedCurrentPlatform current(host.platform());
  host.WriteFile("C:\\Temp\\Info\\music.mid", "MThd");
  ui::HeadlessBackend backend;
  backend.MediaLengthMs = 3000;
  ui::Form form(backend, "TfrmParent");
  auto* player = form.Add<ui::MediaPlayer>("MPlay");
  player->SetFileName("C:\\Temp\\Info\\missing.mid");
  EXPECT_FALSE(player->Open());
  EXPECT_EQ(player->Length(), 0);
  player->SetFileName("C:\\Temp\\Info\\music.mid");
  ASSERT_TRUE(player->Open());
  player->Play();
  backend.AdvanceClock(1000);
  EXPECT_EQ(player->Position(), 1000);
  backend.AdvanceClock(5000);
  EXPECT_EQ(player->Position(), player->Length()) << "an ended piece sits at its length";
}

TEST(HeadlessPicture, LoadsKnownFormatsAndRefusesEverythingElseQuietly) {
  testsupport::SandboxHost host;
  sys::ScopedCurrentPlatform current(host.platform());
  host.WriteFile("C:\\Temp\\top.bmp", std::string("BM") + std::string(60, '\0'));
  host.WriteFile("C:\\Temp\\back.jpg", "\xFF\xD8\xFF\xE0 jfif");
  host.WriteFile("C:\\Temp\\logo.png", std::string("\x89PNG\r\n\x1A\n", 8) + "IHDR");
  host.WriteFile("C:\\Temp\\app.ico", std::string("\0\0\1\0\1\0", 6));
  host.WriteFile("C:\\Temp\\notes.txt", "hello");
  host.WriteFile("C:\\Temp\\empty.bmp", "");
  ui::HeadlessBackend backend;
  ui::Form form(backend, "TfrmEndIns");
  auto* image = form.Add<ui::Image>("Image9");

  struct Case {
    const char* path;
    ui::PictureFormat format;
  };
  for (const Case& c : {Case{"C:\\Temp\\top.bmp", ui::PictureFormat::Bitmap},
                        Case{"C:\\Temp\\back.jpg", ui::PictureFormat::Jpeg},
                        Case{"C:\\Temp\\logo.png", ui::PictureFormat::Png},
                        Case{"C:\\Temp\\app.ico", ui::PictureFormat::Icon}}) {
    EXPECT_TRUE(image->LoadFromFile(c.path)) << c.path;
    EXPECT_EQ(image->GetPicture().Format(), c.format) << c.path;
    EXPECT_EQ(image->PicturePath(), c.path);
  }
  for (const char* bad : {"C:\\Temp\\notes.txt", "C:\\Temp\\empty.bmp", "C:\\Temp\\none.bmp",
                          "Q:\\nowhere\\x.bmp", ""}) {
    EXPECT_FALSE(image->LoadFromFile(bad)) << bad;
    EXPECT_FALSE(image->HasPicture()) << bad << ": a failed load leaves the image empty";
  }
}

TEST(HeadlessPaint, OnPaintDrawsOnARecordingCanvas) {
  testsupport::SandboxHost host;
  sys::ScopedCurrentPlatform current(host.platform());
  host.WriteFile("C:\\Temp\\back.jpg", "\xFF\xD8\xFF\xE0");
  ui::HeadlessBackend backend;
  ui::Form form(backend, "TfrmBackIns");
  ui::Picture picture;
  ASSERT_TRUE(picture.LoadFromFile("C:\\Temp\\back.jpg"));
  form.OnPaint = [&](ui::Canvas& canvas) { canvas.DrawPictureStretched(picture); };
  EXPECT_EQ(ui::PaintForm(form), std::vector<std::string>{"DrawPictureStretched C:\\Temp\\back.jpg"});
}

}  // namespace
