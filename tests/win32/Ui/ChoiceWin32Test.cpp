// The check-list box, the document view and the folder tree read back through their real
// windows: a GBK licence reads the same under any ANSI code page, rich text streams in, marks
// clicked in the list view reach the portable click and its handler decides, the tree lists a
// folder's subfolders when it opens and reports the path picked, and Enter reaches a form that
// previews keys. Needs a display (run-with-display.sh).
#include <gtest/gtest.h>

#include <string>

#include <windows.h>
#include <commctrl.h>

#include "system/Platform.h"
#include "system/win32/WideText.h"
#include "system/win32/Win32Platform.h"
#include "ui/BrowserPane.h"
#include "ui/CheckListBox.h"
#include "ui/Edit.h"
#include "ui/FolderTree.h"
#include "ui/Form.h"
#include "ui/win32/Win32Backend.h"

namespace {

HWND Hwnd(const ui::Control& control) { return static_cast<HWND>(ui::WindowOf(control)); }

std::wstring Text(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

class ChoiceWin32 : public testing::Test {
 protected:
  ChoiceWin32() : backend(ui::MakeWin32Backend(96)), form(*backend, "TfrmTest") {
    form.SetCaption("选择");
    form.SetClientSize(508, 294);
    form.Show();
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder = sys::win32::FromWide(temp) + "choice-win32-" + std::to_string(GetCurrentProcessId());
    platform.ForceDirectories(folder);
  }
  void Write(const std::string& name, const std::string& bytes) {
    auto stream = platform.CreateForWrite(folder + "\\" + name);
    stream->Write(bytes.data(), bytes.size());
  }

  sys::win32::Win32Platform platform;
  sys::ScopedCurrentPlatform current{platform};
  std::unique_ptr<ui::Backend> backend;
  ui::Form form;
  std::string folder;
};

TEST_F(ChoiceWin32, AGbkLicenceReadsTheSameUnderAnyCodePage) {
  Write("licence.txt", "软件许可协议\r\n第一条");
  auto* pane = form.Add<ui::BrowserPane>("WebBrowser1");
  pane->SetBounds(15, 87, 476, 156);
  pane->Navigate(folder + "\\licence.txt");
  EXPECT_EQ(Text(Hwnd(*pane)), L"软件许可协议\r\n第一条") << "code page " << GetACP();
  pane->Navigate(folder + "\\missing.txt");
  EXPECT_EQ(Text(Hwnd(*pane)), L"");
}

TEST_F(ChoiceWin32, RichTextAndUtf8HtmlShowTheirText) {
  Write("licence.rtf", "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}"
                       "\\f0 \\'d0\\'ad\\'d2\\'e9\\par}");
  Write("readme.htm", "<meta charset=\"utf-8\"><p>\xE6\xBC\x94\xE7\xA4\xBA</p>");
  auto* pane = form.Add<ui::BrowserPane>("WebBrowser1");
  pane->SetBounds(15, 87, 476, 156);
  pane->Navigate(folder + "\\licence.rtf");
  EXPECT_NE(Text(Hwnd(*pane)).find(L"协议"), std::wstring::npos) << Text(Hwnd(*pane)).size();
  pane->Navigate(folder + "\\readme.htm");
  EXPECT_EQ(Text(Hwnd(*pane)), L"演示\r\n");
}

TEST_F(ChoiceWin32, AMarkClickedInTheListGoesThroughThePortableClick) {
  auto* list = form.Add<ui::CheckListBox>("List_Component");
  list->SetBounds(16, 95, 382, 151);
  list->AddItem("主程序", nullptr, true);
  list->AddItem("运行库", nullptr, true);
  int clicks = 0;
  list->OnClickCheck = [&] {
    ++clicks;
    if (!list->Checked(0)) list->SetChecked(0, true);
  };
  HWND view = Hwnd(*list);
  ASSERT_EQ(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0), 2);
  auto marked = [view](int index) {
    return (SendMessageW(view, LVM_GETITEMSTATE, index, LVIS_STATEIMAGEMASK) >> 12) == 2;
  };
  EXPECT_TRUE(marked(1));
  list->SetChecked(1, false);
  EXPECT_FALSE(marked(1)) << "a mark set from code shows";
  EXPECT_EQ(clicks, 0);
  // What the list view does on a click of a mark: it asks to change the item's state.
  for (int index : {1, 0}) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(marked(index) ? 1 : 2);
    SendMessageW(view, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    backend->ProcessMessages();
  }
  EXPECT_EQ(clicks, 2);
  EXPECT_TRUE(list->Checked(1));
  EXPECT_TRUE(marked(1));
  EXPECT_TRUE(list->Checked(0)) << "the handler ticked the main program again";
  EXPECT_TRUE(marked(0));
}

TEST_F(ChoiceWin32, TheTreeListsSubfoldersWhenOpenedAndReportsThePick) {
  platform.ForceDirectories(folder + "\\Root\\程序\\深处");
  platform.ForceDirectories(folder + "\\Root\\Other");
  auto* tree = form.Add<ui::FolderTree>("ShellTreeView1");
  tree->SetBounds(15, 65, 339, 220);
  tree->SetRoot(folder + "\\Root");
  std::string picked;
  tree->OnChange = [&] { picked = tree->SelectedName() + "|" + tree->SelectedPath(); };
  HWND view = Hwnd(*tree);
  HTREEITEM root = reinterpret_cast<HTREEITEM>(SendMessageW(view, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(SendMessageW(view, TVM_GETCOUNT, 0, 0), 3) << "the root and its two folders";
  HTREEITEM child = reinterpret_cast<HTREEITEM>(
      SendMessageW(view, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
  HTREEITEM chinese = reinterpret_cast<HTREEITEM>(
      SendMessageW(view, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
  ASSERT_NE(chinese, nullptr);
  SendMessageW(view, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(chinese));
  EXPECT_EQ(SendMessageW(view, TVM_GETCOUNT, 0, 0), 4) << "opened: its one folder listed";
  SendMessageW(view, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(chinese));
  EXPECT_EQ(picked, "程序|" + folder + "\\Root\\程序");
}

TEST_F(ChoiceWin32, EnterReachesAFormThatPreviewsKeys) {
  ui::Form dialog(*backend, "TfrmStartFolderInfo");
  dialog.SetClientSize(363, 330);
  auto* edit = dialog.Add<ui::Edit>("Edit1");
  edit->SetBounds(14, 42, 339, 20);
  dialog.OnKeyDown = [&](int key) {
    if (key == VK_RETURN) dialog.SetModalResult(ui::kMrOk);
  };
  dialog.OnShow = [&] {
    SetFocus(Hwnd(*edit));
    PostMessageW(Hwnd(*edit), WM_KEYDOWN, VK_RETURN, 0);
  };
  EXPECT_EQ(dialog.ShowModal(), ui::kMrOk);
}

}  // namespace
