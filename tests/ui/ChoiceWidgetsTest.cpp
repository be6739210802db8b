// The check-list box, the browser pane and the folder tree: which changes fire handlers, how
// documents of each format read, and how the tree walks the folders. Part of the widget
// contract: run on every backend.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "system/Gbk.h"
#include "system/Platform.h"
#include "tests/support/WidgetContract.h"
#include "ui/Backend.h"
#include "ui/BrowserPane.h"
#include "ui/CheckListBox.h"
#include "ui/Form.h"
#include "ui/FolderTree.h"
#include "ui/Panel.h"
#include "ui/ProgramError.h"
#include "ui/headless/Automation.h"
#include "ui/headless/WidgetAutomation.h"

namespace {

// --- Check-list box -----------------------------------------------------------------------

TEST_P(WidgetContract, CheckMarksSetFromCodeFireNothing) {
  auto* list = form.Add<ui::CheckListBox>("List1");
  int fired = 0;
  list->OnClickCheck = [&] { ++fired; };
  int data = 7;
  list->AddItem("主程序", nullptr, true);
  list->AddItem("组件", &data);
  list->SetChecked(1, true);
  list->SetChecked(0, false);
  EXPECT_EQ(fired, 0);
  EXPECT_FALSE(list->Checked(0));
  EXPECT_TRUE(list->Checked(1));
  EXPECT_EQ(list->Data(1), &data);
  EXPECT_THROW(list->SetChecked(2, true), ui::ProgramError);
  EXPECT_THROW(list->Checked(-1), ui::ProgramError);
}

TEST_P(WidgetContract, APersonsClickTogglesTheMarkThenFiresOnlyWhenReachable) {
  auto* panel = form.Add<ui::Panel>("Panel1");
  auto* list = form.Add<ui::CheckListBox>("List1", panel);
  list->AddItem("a");
  list->AddItem("b", nullptr, true);
  std::vector<bool> seen;
  list->OnClickCheck = [&] { seen.push_back(list->Checked(1)); };
  ui::ClickCheckItem(form, "List1", 1);
  EXPECT_EQ(seen, std::vector<bool>{false}) << "the handler sees the mark already toggled";
  ui::SetItemCheck(form, "List1", 1, false);
  EXPECT_EQ(seen.size(), 1u) << "a mark already in that state is not clicked";
  EXPECT_THROW(ui::ClickCheckItem(form, "List1", 5), ui::AutomationError);
  panel->SetEnabled(false);
  EXPECT_THROW(ui::ClickCheckItem(form, "List1", 0), ui::AutomationError);
  list->ClickCheck(0);
  EXPECT_FALSE(list->Checked(0)) << "a disabled parent keeps the mark";
  EXPECT_EQ(seen.size(), 1u);
}

TEST_P(WidgetContract, ErrorsOfTheCheckHandlerGoToTheReporter) {
  auto* list = form.Add<ui::CheckListBox>("List1");
  list->AddItem("a");
  list->OnClickCheck = [] { throw std::runtime_error("boom"); };
  std::string reported;
  ui::SetErrorReporter([&](const std::exception& e) { reported = e.what(); });
  ui::ClickCheckItem(form, "List1", 0);
  EXPECT_EQ(reported, "boom");
}

// --- Browser pane -------------------------------------------------------------------------

TEST_P(WidgetContract, PlainTextIsKeptAsGbkBytes) {
  const std::string licence = "软件许可协议\r\n第一条 本软件……\r\n";
  WriteFile("Info\\license.txt", licence);
  auto* pane = form.Add<ui::BrowserPane>("WebBrowser1");
  pane->Navigate(At("Info\\license.txt"));
  EXPECT_EQ(pane->Format(), ui::DocumentFormat::PlainText);
  EXPECT_EQ(pane->Content(), licence);
  EXPECT_EQ(pane->Lines(), (std::vector<std::string>{"软件许可协议", "第一条 本软件……", ""}));
}

TEST_P(WidgetContract, AMissingOrEmptyDocumentLeavesThePaneEmpty) {
  auto* pane = form.Add<ui::BrowserPane>("WebBrowser1");
  WriteFile("a.txt", "text");
  pane->Navigate(At("a.txt"));
  pane->Navigate(At("missing.txt"));
  EXPECT_EQ(pane->Format(), ui::DocumentFormat::None);
  EXPECT_TRUE(pane->Content().empty());
  EXPECT_TRUE(pane->Lines().empty());
  WriteFile("empty.txt", "");
  pane->Navigate(At("empty.txt"));
  EXPECT_TRUE(pane->Text().empty());
  pane->Navigate(scratch());
  EXPECT_TRUE(pane->Text().empty()) << "a folder is no document";
  pane->Navigate("");
  EXPECT_TRUE(pane->Text().empty());
}

TEST_P(WidgetContract, RichTextReadsWithoutItsMarkup) {
  // WordPad's way of writing Chinese: the GBK bytes as \'xx escapes under \ansicpg936.
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
      "{\\colortbl ;\\red0\\green0\\blue0;}{\\*\\generator Riched20;}"
      "\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs18 \\'d0\\'ad\\'d2\\'e9 One\\par\n"
      "{\\b Two} \\{braces\\} \\\\\\par}";
  EXPECT_EQ(ui::RichTextToText(rtf), "协议 One\r\nTwo {braces} \\\r\n");
  WriteFile("license.rtf", rtf);
  auto* pane = form.Add<ui::BrowserPane>("WebBrowser1");
  pane->Navigate(At("license.rtf"));
  EXPECT_EQ(pane->Format(), ui::DocumentFormat::RichText);
  EXPECT_EQ(pane->Lines().front(), "协议 One");
}

TEST_P(WidgetContract, DamagedRichTextEndsWithoutReadingPastItsEnd) {
  EXPECT_EQ(ui::RichTextToText("{\\rtf1 a}}}}\\"), "a");
  EXPECT_EQ(ui::RichTextToText("{\\rtf1 \\'4"), "");
  EXPECT_EQ(ui::RichTextToText(std::string(100000, '{') + "x"), "x");
}

TEST_P(WidgetContract, HtmlReadsWithoutTagsScriptsOrStyles) {
  const std::string html =
      "<html><head><title>许可</title><style>p { color: red }</style>"
      "<script>var a = '<p>';</script></head><body><!-- note -->"
      "<h1>协议</h1><p>第一条  &lt;甲方&gt; &amp; 乙方</p>行<br>二&#65;</body></html>";
  EXPECT_EQ(ui::HtmlToText(html), "许可\r\n协议\r\n第一条 <甲方> & 乙方\r\n行\r\n二A");
  EXPECT_EQ(ui::HtmlToText("<p unclosed"), "");
  WriteFile("license.HTM", html);
  auto* pane = form.Add<ui::BrowserPane>("WebBrowser1");
  pane->Navigate(At("license.HTM"));
  EXPECT_EQ(pane->Format(), ui::DocumentFormat::Html);
  EXPECT_EQ(pane->Content(), html);
}

TEST_P(WidgetContract, PageDownMovesOnePageAndStopsAtTheLastPage) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + "\r\n";
  WriteFile("long.txt", text);
  auto* pane = form.Add<ui::BrowserPane>("WebBrowser1");
  pane->SetBounds(0, 0, 300, 120);  // ten 12-pixel lines
  pane->Navigate(At("long.txt"));
  ui::PageDown(form, "WebBrowser1");
  EXPECT_EQ(pane->TopLine(), 10);
  ui::PageDown(form, "WebBrowser1");
  ui::PageDown(form, "WebBrowser1");
  EXPECT_EQ(pane->TopLine(), 21) << "31 lines, the last page starts at 21";
  EXPECT_NE(ui::RenderForm(form).find("line 21"), std::string::npos) << ui::RenderForm(form);
}

// --- Folder tree --------------------------------------------------------------------------

TEST_P(WidgetContract, SelectingWalksTheFoldersDownFromTheRoot) {
  platform().ForceDirectories(At("Root\\A\\B\\演示"));
  auto* tree = form.Add<ui::FolderTree>("Tree1");
  tree->SetRoot(At("Root"));
  std::vector<std::string> seen;
  tree->OnChange = [&] { seen.push_back(tree->SelectedName() + "|" + tree->SelectedPath()); };
  ui::SelectFolder(form, "Tree1", sys::AsciiLower(scratch()) + "\\root\\a\\b\\演示\\");
  ui::SelectFolder(form, "Tree1", At("Root"));
  EXPECT_EQ(seen, (std::vector<std::string>{"演示|" + At("Root\\A\\B\\演示"), "Root|" + At("Root")}))
      << "names come from the folders, not from what was asked";
  EXPECT_THROW(ui::SelectFolder(form, "Tree1", At("Root\\Missing")), ui::AutomationError);
  EXPECT_THROW(ui::SelectFolder(form, "Tree1", At("Other")), ui::AutomationError);
  EXPECT_THROW(ui::SelectFolder(form, "Tree1", At("RootX")), ui::AutomationError);
}

TEST_P(WidgetContract, DisplayNamesAreTheLastNameOfThePath) {
  EXPECT_EQ(ui::FolderTree::DisplayNameOf("C:\\A\\程序\\"), "程序");
  EXPECT_EQ(ui::FolderTree::DisplayNameOf("C:\\"), "C:");
  EXPECT_EQ(ui::FolderTree::DisplayNameOf("C:\\A"), "A");
}

TEST_P(WidgetContract, KeysReachTheFormInsideDispatch) {
  std::vector<int> keys;
  form.OnKeyDown = [&](int key) {
    keys.push_back(key);
    if (key == 27) throw std::runtime_error("esc");
  };
  std::string reported;
  ui::SetErrorReporter([&](const std::exception& e) { reported = e.what(); });
  ui::PressKey(form, 13);
  ui::PressKey(form, 27);
  EXPECT_EQ(keys, (std::vector<int>{13, 27}));
  EXPECT_EQ(reported, "esc");
  ui::Form hidden(backend, "TfrmHidden");
  EXPECT_THROW(ui::PressKey(hidden, 13), ui::AutomationError);
}

}  // namespace

namespace {

TEST_P(WidgetContract, HtmlNamingUtf8AndFilesWithTheMarkAreUtf8) {
  auto* pane = form.Add<ui::BrowserPane>("WebBrowser1");
  WriteFile("readme.htm",
                 "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                 "charset=UTF-8\"></head><body><p>\xE6\xBC\x94\xE7\xA4\xBA</p></body></html>");
  pane->Navigate(At("readme.htm"));
  EXPECT_TRUE(pane->Utf8());
  EXPECT_EQ(pane->Text(), "\xE6\xBC\x94\xE7\xA4\xBA\r\n");
  EXPECT_NE(ui::RenderForm(form).find("readme.htm: 演示 ..."), std::string::npos)
      << "the rendering stays GBK";
  WriteFile("gbk.htm", "<meta charset=gb2312><p>演示</p>");
  pane->Navigate(At("gbk.htm"));
  EXPECT_FALSE(pane->Utf8());
  EXPECT_EQ(pane->Text(), "演示\r\n");
  WriteFile("bom.txt", "\xEF\xBB\xBF\xE6\xBC\x94");
  pane->Navigate(At("bom.txt"));
  EXPECT_TRUE(pane->Utf8());
  EXPECT_EQ(pane->Text(), "\xE6\xBC\x94") << "without its mark";
  WriteFile("plain.txt", "charset=utf-8 演示");
  pane->Navigate(At("plain.txt"));
  EXPECT_FALSE(pane->Utf8()) << "plain text is GBK whatever it says";
}

}  // namespace
