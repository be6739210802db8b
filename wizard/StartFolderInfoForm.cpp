#include "wizard/StartFolderInfoForm.h"

#include "ui/Button.h"
#include "ui/Edit.h"
#include "ui/FolderTree.h"
#include "ui/Label.h"

TfrmStartFolderInfo::TfrmStartFolderInfo(ui::Backend& backend) : ui::Form(backend, kClassName) {
  SetCaption("浏览文件夹");
  SetBorderStyle(ui::BorderStyle::Dialog);
  SetPosition(ui::Position::OwnerFormCenter);
  SetClientSize(363, 330);
  Label1 = Add<ui::Label>("Label1");
  Label1->SetBounds(14, 18, Label1->Width(), Label1->Height());
  Label1->SetCaption("在下列列表中选择一个文件夹，点击“确定”按钮");
  Edit1 = Add<ui::Edit>("Edit1");
  Edit1->SetBounds(14, 42, 339, 20);
  ShellTreeView1 = Add<ui::FolderTree>("ShellTreeView1");
  ShellTreeView1->SetBounds(15, 65, 339, 220);
  ShellTreeView1->OnChange = [this] { ShellTreeView1Change(); };
  BitBtn1 = Add<ui::Button>("BitBtn1");
  BitBtn1->SetBounds(190, 301, 75, 22);
  BitBtn1->SetCaption("确定(&O)");
  BitBtn1->OnClick = [this] { SetModalResult(ui::kMrOk); };
  BitBtn2 = Add<ui::Button>("BitBtn2");
  BitBtn2->SetBounds(270, 301, 75, 22);
  BitBtn2->SetCaption("取消(&C)");
  BitBtn2->OnClick = [this] { SetModalResult(ui::kMrCancel); };
  OnKeyDown = [this](int key) { FormKeyDown(key); };
}

std::string TfrmStartFolderInfo::Value() const { return Edit1->Text(); }

void TfrmStartFolderInfo::SetValue(const std::string& value) { Edit1->SetText(value); }

const std::string& TfrmStartFolderInfo::Root() const { return ShellTreeView1->Root(); }

void TfrmStartFolderInfo::SetRoot(const std::string& root) { ShellTreeView1->SetRoot(root); }

void TfrmStartFolderInfo::ShellTreeView1Change() {
  Edit1->SetText(kind_ == tfkStart ? ShellTreeView1->SelectedName()
                                   : ShellTreeView1->SelectedPath());
}

void TfrmStartFolderInfo::FormKeyDown(int key) {
  if (key == kKeyEnter) {
    SetModalResult(ui::kMrOk);
  } else if (key == kKeyEscape) {
    // The cancel button's key.
    SetModalResult(ui::kMrCancel);
  }
}

namespace wizard {

ui::Form& TopLevelForm(ui::Control& control) {
  ui::Control* top = &control;
  while (top->Parent()) top = top->Parent();
  return top->OwnerForm();
}

}  // namespace wizard
