// The event rules of the portable controls, which every form relies on: which changes fire
// handlers, when a click acts, how errors in handlers travel, and the state rules of the bars,
// memos, labels and aligned children. Part of the widget contract: run on every backend.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ui/Backend.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Gauge.h"
#include "ui/Label.h"
#include "ui/Memo.h"
#include "ui/Panel.h"
#include "ui/ProgramError.h"
#include "ui/ProgressBar.h"
#include "tests/support/WidgetContract.h"

namespace {

TEST_P(WidgetContract, EditSetTextFiresChangeOnlyWhenTheTextChanges) {
  auto* edit = form.Add<ui::Edit>("Edit1");
  std::vector<std::string> seen;
  edit->OnChange = [&] { seen.push_back(edit->Text()); };
  edit->SetText("C:\\Program Files\\演示");
  edit->SetText("C:\\Program Files\\演示");
  edit->SetText("");
  EXPECT_EQ(seen, (std::vector<std::string>{"C:\\Program Files\\演示", ""}));
}

TEST_P(WidgetContract, TypingFiresChangeAndKeepsTheTypedText) {
  auto* edit = form.Add<ui::Edit>("Edit1");
  edit->SetText("D:\\");
  int changes = 0;
  edit->OnChange = [&] { ++changes; };
  edit->TextTyped("D:\\Games");
  EXPECT_EQ(edit->Text(), "D:\\Games");
  EXPECT_EQ(changes, 1);
  edit->TextTyped("D:\\Games");
  EXPECT_EQ(changes, 1);
}

TEST_P(WidgetContract, CheckBoxFromCodeFiresClickOnlyOnAChangeOfState) {
  auto* box = form.Add<ui::CheckBox>("CheckBox1");
  std::vector<bool> seen;
  box->OnClick = [&] { seen.push_back(box->Checked()); };
  box->SetChecked(true);
  box->SetChecked(true);
  box->SetChecked(false);
  box->SetChecked(false);
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST_P(WidgetContract, APersonsClickTogglesTheCheckBoxAndFires) {
  auto* box = form.Add<ui::CheckBox>("CheckBox1");
  std::vector<bool> seen;
  box->OnClick = [&] { seen.push_back(box->Checked()); };
  box->Click();
  box->Click();
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  EXPECT_FALSE(box->Checked());
}

TEST_P(WidgetContract, ClickActsOnlyOnAnEnabledVisibleControlInAnEnabledVisibleParent) {
  auto* panel = form.Add<ui::Panel>("Panel1");
  auto* button = form.Add<ui::Button>("bNext", panel);
  auto* box = form.Add<ui::CheckBox>("CheckBox1", panel);
  int clicks = 0;
  button->OnClick = [&] { ++clicks; };

  button->SetEnabled(false);
  button->Click();
  button->SetEnabled(true);
  button->SetVisible(false);
  button->Click();
  button->SetVisible(true);
  panel->SetEnabled(false);
  button->Click();
  box->Click();
  panel->SetEnabled(true);
  panel->SetVisible(false);
  button->Click();
  panel->SetVisible(true);
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(box->Checked()) << "a box in a disabled panel must not toggle";

  form.SetVisible(false);
  button->Click();
  EXPECT_EQ(clicks, 0) << "a hidden form takes no clicks";
  form.SetVisible(true);
  button->Click();
  EXPECT_EQ(clicks, 1);
}

TEST_P(WidgetContract, ErrorsOfAPersonsEventGoToTheReporterAndCodeChangesKeepTheirErrors) {
  auto* button = form.Add<ui::Button>("bNext");
  auto* box = form.Add<ui::CheckBox>("CheckBox1");
  button->OnClick = [] { throw std::runtime_error("写入失败"); };
  box->OnClick = [] { throw std::runtime_error("box"); };

  EXPECT_THROW(button->Click(), std::runtime_error) << "without a reporter the error propagates";

  std::vector<std::string> reported;
  ui::SetErrorReporter([&](const std::exception& e) { reported.push_back(e.what()); });
  button->Click();
  box->Click();
  EXPECT_EQ(reported, (std::vector<std::string>{"写入失败", "box"}));
  EXPECT_TRUE(box->Checked()) << "the click happened; only its handler failed";
  EXPECT_THROW(box->SetChecked(false), std::runtime_error)
      << "a change made by code reports to that code, not to the message box";
}

TEST_P(WidgetContract, ProgressStaysInItsRangeAndRefusesANegativeOne) {
  auto* bar = form.Add<ui::ProgressBar>("ProgressBar1");
  bar->SetMax(3);
  bar->SetPosition(7);
  EXPECT_EQ(bar->Position(), 3);
  bar->SetPosition(-1);
  EXPECT_EQ(bar->Position(), 0);
  bar->SetPosition(3);
  bar->SetMax(2);
  EXPECT_EQ(bar->Position(), 2) << "a lower maximum pulls the position down";
  EXPECT_THROW(bar->SetMax(-1), ui::ProgramError);
  EXPECT_EQ(bar->Max(), 2);

  auto* gauge = form.Add<ui::Gauge>("Gauge1");
  EXPECT_THROW(gauge->SetMaxValue(-5), ui::ProgramError);
  gauge->SetMaxValue(3);
  gauge->SetProgress(1);
  EXPECT_EQ(gauge->PercentDone(), 33);
  gauge->SetProgress(3);
  EXPECT_EQ(gauge->PercentDone(), 100);
  gauge->SetMaxValue(0);
  EXPECT_EQ(gauge->PercentDone(), 0) << "an empty range is 0%, not a division by zero";
}

TEST_P(WidgetContract, GaugePercentageHoldsForTheLargest32BitRange) {
  auto* gauge = form.Add<ui::Gauge>("Gauge1");
  gauge->SetMaxValue(2147483647);
  gauge->SetProgress(2147483646);
  EXPECT_EQ(gauge->PercentDone(), 99);
  gauge->SetProgress(2147483647);
  EXPECT_EQ(gauge->PercentDone(), 100);
}

TEST_P(WidgetContract, MemoSplitsAddedTextAtLineBreaks) {
  auto* memo = form.Add<ui::Memo>("Memo1");
  memo->AddLine("");
  memo->AddLine("  “演示”安装到“C:\\演示”文件夹下\r\n");
  memo->AddLine("  创建快捷方式到桌面\r\n");
  EXPECT_EQ(memo->Lines(), (std::vector<std::string>{"", "  “演示”安装到“C:\\演示”文件夹下", "",
                                                     "  创建快捷方式到桌面", ""}));
  EXPECT_EQ(memo->Text(), "\r\n  “演示”安装到“C:\\演示”文件夹下\r\n\r\n  创建快捷方式到桌面\r\n");
  memo->Clear();
  EXPECT_TRUE(memo->Lines().empty());
  memo->SetText("a\nb\rc");
  EXPECT_EQ(memo->Lines(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_P(WidgetContract, AutoSizeLabelsFollowTheirTextAndFont) {
  auto* label = form.Add<ui::Label>("Label1");
  label->SetBounds(8, 309, 10, 10);
  label->SetCaption("作者 abc");
  EXPECT_EQ(label->Width(), 8 * 6) << "six pixels per GBK byte at 9 points";
  EXPECT_EQ(label->Height(), 12);
  label->MutableFont().Height = 16;
  label->FontChanged();
  EXPECT_EQ(label->Width(), 8 * 8);
  EXPECT_EQ(label->Height(), 16);

  auto* fixed = form.Add<ui::Label>("Label30");
  fixed->SetAutoSize(false);
  fixed->SetBounds(24, 76, 398, 14);
  fixed->SetCaption(std::string(200, 'x'));
  EXPECT_EQ(fixed->Width(), 398);
  EXPECT_EQ(fixed->Height(), 14);

  auto* wrapped = form.Add<ui::Label>("Label2");
  wrapped->SetWordWrap(true);
  wrapped->SetBounds(28, 69, 60, 28);
  wrapped->SetCaption(std::string(25, 'x'));
  EXPECT_EQ(wrapped->Width(), 60) << "word wrap keeps the width";
  EXPECT_EQ(wrapped->Height(), 3 * 12);
}

TEST_P(WidgetContract, AlignedChildrenFollowTheirParent) {
  form.SetClientSize(508, 331);
  auto* top = form.Add<ui::Panel>("Panel1");
  top->SetBevelOuter(ui::BevelOuter::None);
  top->SetBounds(5, 5, 10, 294);
  top->SetAlign(ui::Align::Top);
  EXPECT_EQ((std::vector<int>{top->Left(), top->Top(), top->Width(), top->Height()}),
            (std::vector<int>{0, 0, 508, 294}));

  ui::Form page(backend, "TfrmPage");
  page.SetBorderStyle(ui::BorderStyle::None);
  page.SetParent(top);
  page.SetAlign(ui::Align::Client);
  EXPECT_EQ((std::vector<int>{page.Left(), page.Top(), page.Width(), page.Height()}),
            (std::vector<int>{0, 0, 508, 294}));

  auto* framed = form.Add<ui::Panel>("Panel2");
  framed->SetBevelOuter(ui::BevelOuter::Lowered);
  framed->SetBounds(16, 114, 473, 153);
  auto* memo = form.Add<ui::Memo>("Memo1", framed);
  memo->SetAlign(ui::Align::Client);
  EXPECT_EQ((std::vector<int>{memo->Left(), memo->Top(), memo->Width(), memo->Height()}),
            (std::vector<int>{1, 1, 471, 151}))
      << "a bevelled panel keeps its edge";
  framed->SetBounds(16, 114, 200, 100);
  EXPECT_EQ(memo->Width(), 198);
  EXPECT_EQ(memo->FormLeft(), 17);
  EXPECT_EQ(memo->FormTop(), 115);
}

TEST_P(WidgetContract, NamesAreUniqueAndFoundByKind) {
  form.Add<ui::Button>("bNext");
  EXPECT_THROW(form.Add<ui::Label>("bNext"), ui::ProgramError);
  EXPECT_NE(form.Find<ui::Button>("bNext"), nullptr);
  EXPECT_EQ(form.Find<ui::Label>("bNext"), nullptr);
  EXPECT_EQ(form.FindControl("bMissing"), nullptr);
  ASSERT_EQ(form.Controls().size(), 1u);
}

TEST_P(WidgetContract, BringToFrontReordersTheParentsChildren) {
  auto* panel = form.Add<ui::Panel>("Panel1");
  ui::Form first(backend, "TfrmFirst");
  ui::Form second(backend, "TfrmSecond");
  first.SetParent(panel);
  second.SetParent(panel);
  first.BringToFront();
  EXPECT_EQ(panel->Children(), (std::vector<ui::Control*>{&second, &first}));
}

}  // namespace
