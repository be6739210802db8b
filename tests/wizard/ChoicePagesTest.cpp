// The start-menu, component and install-folder pages and their browse dialog: the settings'
// rules, what the person's edits write into the options, and the dialog's two kinds and keys.
#include <gtest/gtest.h>

#include <limits>

#include "system/SystemHelpers.h"
#include "tests/wizard/PageFixture.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/CheckListBox.h"
#include "ui/Edit.h"
#include "ui/FolderTree.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/headless/WidgetAutomation.h"

namespace wizardtest {
namespace {

constexpr const char* kCommonPrograms = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";

class StartMenuPage : public PageTest {
 protected:
  StartMenuPage() {
    EnablePages({"选择开始菜单文件夹"});
    EnableLastPages();
  }
  TfrmStartFolder& page() { return Page<TfrmStartFolder>(); }
};

TEST_F(StartMenuPage, TheDefaultNameFillsTheBoxAndTheOptions) {
  builder.Setting("默认文件夹名称", "演示软件", 6);
  OpenFrame();
  EXPECT_EQ(page().Edit1->Text(), "演示软件");
  EXPECT_EQ(compile->Options.StartMenuFolder, "演示软件");
  EXPECT_TRUE(page().CheckBox1->Visible()) << "without the item the box stays visible";
  EXPECT_TRUE(page().CheckBox1->Checked());
  ui::TypeText(*frame, "Edit1", "演示");
  EXPECT_EQ(compile->Options.StartMenuFolder, "演示");
  ui::SetCheck(*frame, "CheckBox1", false);
  EXPECT_EQ(compile->Options.CreateStartMenu, 0);
  ui::SetCheck(*frame, "CheckBox1", true);
  EXPECT_EQ(compile->Options.CreateStartMenu, 1);
}

TEST_F(StartMenuPage, BothFolderPagesShowTheFolderIconStoredWithTheForm) {
  EnablePages({"选择安装文件夹"});
  OpenFrame();
  for (const ui::Image* icon : {page().Image1, Page<TfrmSelectInstallDir>().Image1}) {
    ASSERT_TRUE(icon->HasPicture());
    EXPECT_EQ(icon->GetPicture().Format(), ui::PictureFormat::Png);
    EXPECT_TRUE(icon->PicturePath().empty()) << "no file: it comes with the program";
    const std::string& png = icon->GetPicture().Bytes();
    ASSERT_GE(png.size(), 24u);
    auto be32 = [&](size_t at) {
      return (static_cast<uint8_t>(png[at]) << 24) | (static_cast<uint8_t>(png[at + 1]) << 16) |
             (static_cast<uint8_t>(png[at + 2]) << 8) | static_cast<uint8_t>(png[at + 3]);
    };
    EXPECT_EQ(be32(16), 32u) << "32 pixels wide";
    EXPECT_EQ(be32(20), 32u) << "32 pixels high";
    EXPECT_EQ(icon->Left(), 31);
    EXPECT_EQ(icon->Top(), 67);
  }
}

TEST_F(StartMenuPage, AFixedNameCanNeitherBeTypedNorBrowsedButTheBoxStillWorks) {
  builder.Setting("默认文件夹名称", "演示软件", 6);
  builder.Setting("允许用户修改文件夹名称", "禁用", 6);
  builder.Setting("显示用户选择选项", "启用", 6);
  OpenFrame();
  EXPECT_TRUE(page().Edit1->ReadOnly());
  EXPECT_FALSE(page().BitBtn1->Enabled());
  EXPECT_THROW(ui::TypeText(*frame, "Edit1", "x"), ui::AutomationError);
  EXPECT_THROW(ui::ClickButton(*frame, "BitBtn1"), ui::AutomationError);
  ui::SetCheck(*frame, "CheckBox1", false);
  EXPECT_EQ(compile->Options.CreateStartMenu, 0);
  EXPECT_EQ(compile->Options.StartMenuFolder, "演示软件");
}

TEST_F(StartMenuPage, AHiddenBoxLeavesTheLoadersChoice) {
  builder.Setting("显示用户选择选项", "禁用", 6);
  builder.Setting("允许用户修改文件夹名称", "启用", 6);
  OpenFrame();
  EXPECT_FALSE(page().CheckBox1->Visible());
  EXPECT_EQ(compile->Options.CreateStartMenu, 1);
  EXPECT_FALSE(page().Edit1->ReadOnly());
  EXPECT_TRUE(page().BitBtn1->Enabled());
  EXPECT_THROW(ui::SetCheck(*frame, "CheckBox1", false), ui::AutomationError);
}

TEST_F(StartMenuPage, SettingsLoadOnceAndThePersonsEditsStay) {
  builder.Setting("默认文件夹名称", "演示软件", 6);
  OpenFrame();
  ui::TypeText(*frame, "Edit1", "别的");
  ui::SetCheck(*frame, "CheckBox1", false);
  Next();
  ui::ClickButton(*frame, "bPrevious");
  EXPECT_EQ(page().Edit1->Text(), "别的");
  EXPECT_FALSE(page().CheckBox1->Checked());
  EXPECT_EQ(compile->Options.CreateStartMenu, 0);
}

TEST_F(StartMenuPage, BrowsingPicksOnlyTheNameOfANestedFolder) {
  platform().ForceDirectories(std::string(kCommonPrograms) + "\\厂商\\工具\\演示");
  builder.Setting("默认文件夹名称", "演示软件", 6);
  OpenFrame();
  OnBrowseDialog([](TfrmStartFolderInfo& dialog) {
    ui::SelectFolder(dialog, "ShellTreeView1", std::string(kCommonPrograms) + "\\厂商\\工具\\演示");
    ui::PressKey(dialog, TfrmStartFolderInfo::kKeyEnter);
  });
  ui::ClickButton(*frame, "BitBtn1");
  ASSERT_TRUE(dialogSeen);
  EXPECT_EQ(dialogRoot, kCommonPrograms);
  EXPECT_EQ(dialogKind, tfkStart);
  EXPECT_EQ(dialogValue, "演示软件") << "the dialog starts from the box's text";
  EXPECT_EQ(page().Edit1->Text(), "演示");
  EXPECT_EQ(compile->Options.StartMenuFolder, "演示");
}

TEST_F(StartMenuPage, EscapeLeavesTheNameAsItWas) {
  platform().ForceDirectories(std::string(kCommonPrograms) + "\\工具");
  builder.Setting("默认文件夹名称", "演示软件", 6);
  OpenFrame();
  OnBrowseDialog([](TfrmStartFolderInfo& dialog) {
    ui::SelectFolder(dialog, "ShellTreeView1", std::string(kCommonPrograms) + "\\工具");
    EXPECT_EQ(dialog.Value(), "工具");
    ui::PressKey(dialog, TfrmStartFolderInfo::kKeyEscape);
  });
  ui::ClickButton(*frame, "BitBtn1");
  ASSERT_TRUE(dialogSeen);
  EXPECT_EQ(page().Edit1->Text(), "演示软件");
  EXPECT_EQ(compile->Options.StartMenuFolder, "演示软件");
}

class ComponentPage : public PageTest {
 protected:
  ComponentPage() {
    EnablePages({"选择安装组件包"});
    EnableLastPages();
    builder.AddComponent("运行库", 1000);
    builder.AddComponent("帮助", 2000);
  }
  TfrmSelComponent& page() { return Page<TfrmSelComponent>(); }
  std::string NeedText(int64_t total) { return "所需空间大小 " + sys::SizeToText(total); }
};

TEST_F(ComponentPage, ListsTheMainProgramAndEveryComponentTicked) {
  OpenFrame();
  auto* list = page().List_Component;
  ASSERT_EQ(list->Count(), 3);
  EXPECT_EQ(list->ItemCaption(0), "主程序");
  EXPECT_EQ(list->Data(0), nullptr);
  EXPECT_EQ(list->ItemCaption(1), "运行库");
  EXPECT_EQ(list->Data(1), compile->CompList[0].get());
  EXPECT_EQ(list->ItemCaption(2), "帮助");
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(list->Checked(i));
  EXPECT_EQ(list->ItemHeight(), 18);
  EXPECT_TRUE(list->BorderNone());
  EXPECT_EQ(list->Width(), 380) << "it fills the lowered panel inside its edge";
  const int64_t size = compile->Size;
  EXPECT_EQ(compile->Options.TotalSize, size + 3000);
  EXPECT_EQ(page().Label9->Caption(), NeedText(size + 3000));
}

TEST_F(ComponentPage, UntickingChangesTheTotalAndTheMainProgramStaysTicked) {
  OpenFrame();
  const int64_t size = compile->Size;
  ui::ClickCheckItem(*frame, "List_Component", 1);
  EXPECT_EQ(compile->Options.TotalSize, size + 2000);
  EXPECT_EQ(page().Label9->Caption(), NeedText(size + 2000));
  ui::ClickCheckItem(*frame, "List_Component", 2);
  EXPECT_EQ(compile->Options.TotalSize, size) << "nothing but the main program";
  ui::ClickCheckItem(*frame, "List_Component", 0);
  EXPECT_TRUE(page().List_Component->Checked(0)) << "the main program cannot be unticked";
  EXPECT_EQ(compile->Options.TotalSize, size);
  ui::ClickCheckItem(*frame, "List_Component", 1);
  EXPECT_EQ(compile->Options.TotalSize, size + 1000);
}

TEST_F(ComponentPage, AHugeComponentStopsAtTheLargestSizeInsteadOfWrapping) {
  builder.AddComponent("巨大", std::numeric_limits<int64_t>::max());
  OpenFrame();
  EXPECT_EQ(compile->Options.TotalSize, std::numeric_limits<int64_t>::max());
  ui::ClickCheckItem(*frame, "List_Component", 3);
  EXPECT_EQ(compile->Options.TotalSize, compile->Size + 3000);
}

class InstallDirPage : public PageTest {
 protected:
  InstallDirPage() { EnableLastPages(); }
  void InstallDirOnly() { EnablePages({"选择安装文件夹"}); }
  TfrmSelectInstallDir& page() { return Page<TfrmSelectInstallDir>(); }
};

TEST_F(InstallDirPage, ThePlaceholderOfProgramFilesExpandsInAnyLetterCase) {
  InstallDirOnly();
  builder.Setting("默认安装路径", "[system programfiles]\\Foo", 8);
  OpenFrame();
  EXPECT_EQ(page().Edit1->Text(), "C:\\Program Files\\Foo");
  EXPECT_EQ(compile->Options.InstallDir, "C:\\Program Files\\Foo");
  EXPECT_EQ(page().lDrvSize->Caption(), sys::SizeToText(platform().FreeDiskSpace("C:\\")));
  EXPECT_EQ(page().Label1->Caption(), "安装程序将安装“演示”到下列文件夹中。");
}

TEST_F(InstallDirPage, OneTrailingBackslashStaysInTheBoxButNotInTheOptions) {
  InstallDirOnly();
  builder.Setting("默认安装路径", "D:\\Apps\\Foo\\", 8);
  OpenFrame();
  EXPECT_EQ(page().Edit1->Text(), "D:\\Apps\\Foo\\");
  EXPECT_EQ(compile->Options.InstallDir, "D:\\Apps\\Foo");
  ui::TypeText(*frame, "Edit1", "C:\\演示\\");
  EXPECT_EQ(compile->Options.InstallDir, "C:\\演示");
  ui::TypeText(*frame, "Edit1", "");
  EXPECT_EQ(compile->Options.InstallDir, "");
}

TEST_F(InstallDirPage, AFolderThatNamesNoDriveHasNoFreeSpace) {
  InstallDirOnly();
  OpenFrame();
  for (const char* folder : {"\\Apps", "5:\\Apps", "Q:\\Apps"}) {
    ui::TypeText(*frame, "Edit1", folder);
    EXPECT_EQ(page().lDrvSize->Caption(), "-1") << folder;
    EXPECT_EQ(compile->Options.InstallDir, folder) << "nothing is refused";
  }
  ui::TypeText(*frame, "Edit1", "c:\\Apps");
  EXPECT_EQ(page().lDrvSize->Caption(), sys::SizeToText(platform().FreeDiskSpace("C:\\")));
}

TEST_F(InstallDirPage, TheNeededSizeIsComputedOnTheFirstVisitOnly) {
  EnablePages({"选择安装组件包", "选择安装文件夹"});
  builder.AddComponent("运行库", 5000);
  OpenFrame();
  Next();
  ASSERT_EQ(Current(), "TfrmSelectInstallDir");
  const std::string first = page().lNeedsSize->Caption();
  EXPECT_EQ(first, sys::SizeToText(compile->Size + 5000));
  ui::ClickButton(*frame, "bPrevious");
  ui::ClickCheckItem(*frame, "List_Component", 1);
  Next();
  EXPECT_EQ(compile->Options.TotalSize, compile->Size);
  EXPECT_EQ(page().lNeedsSize->Caption(), first);
}

TEST_F(InstallDirPage, AFixedFolderCanNeitherBeTypedNorBrowsed) {
  InstallDirOnly();
  builder.Setting("允许用户修改安装路径", "否", 8);
  OpenFrame();
  EXPECT_TRUE(page().Edit1->ReadOnly());
  EXPECT_FALSE(page().BitBtn1->Enabled());
  EXPECT_EQ(compile->Options.InstallDir, kInstallDir);
}

TEST_F(InstallDirPage, BrowsingFromTheDesktopPutsThePathAndEnterAcceptsIt) {
  InstallDirOnly();
  platform().ForceDirectories("C:\\Apps\\Demo");
  OpenFrame();
  OnBrowseDialog([](TfrmStartFolderInfo& dialog) {
    ui::SelectFolder(dialog, "ShellTreeView1", "c:\\apps\\demo");
    ui::PressKey(dialog, TfrmStartFolderInfo::kKeyEnter);
  });
  ui::ClickButton(*frame, "BitBtn1");
  ASSERT_TRUE(dialogSeen);
  EXPECT_EQ(dialogRoot, "") << "the desktop";
  EXPECT_EQ(dialogKind, tfkFolder);
  EXPECT_EQ(dialogValue, kInstallDir);
  EXPECT_EQ(page().Edit1->Text(), "C:\\Apps\\Demo") << "the folder's own spelling";
  EXPECT_EQ(compile->Options.InstallDir, "C:\\Apps\\Demo");
}

TEST_F(InstallDirPage, TheDialogTakesATypedValueAndItsButtons) {
  InstallDirOnly();
  OpenFrame();
  OnBrowseDialog([](TfrmStartFolderInfo& dialog) {
    ui::TypeText(dialog, "Edit1", "E:\\Typed");
    ui::ClickButton(dialog, "BitBtn1");
  });
  ui::ClickButton(*frame, "BitBtn1");
  EXPECT_EQ(compile->Options.InstallDir, "E:\\Typed");
  dialogSeen = false;
  OnBrowseDialog([](TfrmStartFolderInfo& dialog) {
    ui::TypeText(dialog, "Edit1", "F:\\Dropped");
    ui::ClickButton(dialog, "BitBtn2");
  });
  ui::ClickButton(*frame, "BitBtn1");
  EXPECT_TRUE(dialogSeen);
  EXPECT_EQ(compile->Options.InstallDir, "E:\\Typed");
}

TEST(BrowseDialog, HasItsControlsAtTheirPlaces) {
  ui::HeadlessBackend backend;
  TfrmStartFolderInfo dialog(backend);
  EXPECT_EQ(dialog.Caption(), "浏览文件夹");
  EXPECT_EQ(dialog.GetBorderStyle(), ui::BorderStyle::Dialog);
  EXPECT_EQ(dialog.ClientWidth(), 363);
  EXPECT_EQ(dialog.ClientHeight(), 330);
  EXPECT_EQ(dialog.ShellTreeView1->Left(), 15);
  EXPECT_EQ(dialog.ShellTreeView1->Height(), 220);
  EXPECT_EQ(dialog.BitBtn1->Caption(), "确定(&O)");
  EXPECT_EQ(dialog.BitBtn2->Caption(), "取消(&C)");
  dialog.SetValue("x");
  EXPECT_EQ(dialog.Edit1->Text(), "x");
}

}  // namespace
}  // namespace wizardtest
