#include "wizard/StartFolderForm.h"

#include "package/uSystem.h"
#include "package/uTypes.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "system/SystemHelpers.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "wizard/FolderIcon.h"
#include "wizard/PageControls.h"
#include "wizard/StartFolderInfoForm.h"

namespace wizard {

void AddFolderRow(ui::Form& form, const std::string& label1, ui::Image*& image1,
                  ui::Label*& label1Control, ui::Label*& label2, ui::Edit*& edit1,
                  ui::Button*& bitBtn1) {
  image1 = form.Add<ui::Image>("Image1");
  image1->SetBounds(31, 67, 32, 32);
  image1->LoadFromBytes(wizard::FolderIconPng());
  label1Control = form.Add<ui::Label>("Label1");
  label1Control->SetBounds(80, 76, label1Control->Width(), label1Control->Height());
  label1Control->SetCaption(label1);
  label2 = form.Add<ui::Label>("Label2");
  label2->SetBounds(32, 112, label2->Width(), label2->Height());
  label2->SetCaption("单击“下一步”按钮继续，如果您想选择其它的文件夹请点击“浏览”按钮。");
  edit1 = form.Add<ui::Edit>("Edit1");
  edit1->SetBounds(33, 136, 344, 20);
  bitBtn1 = form.Add<ui::Button>("BitBtn1");
  bitBtn1->SetBounds(384, 134, 81, 22);
  bitBtn1->SetCaption("浏览(&B)...");
}

}  // namespace wizard

TfrmStartFolder::TfrmStartFolder(ui::Backend& backend) : PageForm(backend, kClassName) {
  SetCaption("开始菜单");
  SetClientSize(508, 294);
  Image6 = wizard::AddHeaderImage(*this, "Image6");
  Label10 = wizard::AddHeaderLabel(*this, "Label10", 16, 14, "选择开始菜单文件夹", true);
  Label11 = wizard::AddHeaderLabel(*this, "Label11", 29, 33, "您想在哪里创建程序的快捷方式？", false);
  wizard::AddFolderRow(*this, "安装程序将创建程序的快捷方式到下面的开始菜单文件夹中。", Image1,
                       Label1, Label2, Edit1, BitBtn1);
  Edit1->OnChange = [this] { Edit1Change(); };
  BitBtn1->OnClick = [this] { BitBtn1Click(); };
  CheckBox1 = Add<ui::CheckBox>("CheckBox1");
  CheckBox1->SetBounds(32, 248, 177, 17);
  CheckBox1->SetCaption("创建开始菜单的快捷方式");
  CheckBox1->OnClick = [this] { CheckBox1Click(); };
}

void TfrmStartFolder::Edit1Change() {
  if (CompileAssigned()) compile().Options.StartMenuFolder = Edit1->Text();
}

void TfrmStartFolder::CheckBox1Click() {
  if (CompileAssigned()) compile().Options.CreateStartMenu = CheckBox1->Checked() ? 1 : 0;
}

void TfrmStartFolder::BitBtn1Click() {
  TfrmStartFolderInfo dialog(GetBackend());
  dialog.SetOwnerForm(&wizard::TopLevelForm(*this));
  dialog.SetRoot(sys::GetSpecialFolder(sys::kCsidlCommonPrograms));
  dialog.SetKind(tfkStart);
  dialog.SetValue(Edit1->Text());
  if (dialog.ShowModal() == ui::kMrOk) Edit1->SetText(dialog.Value());
}

void TfrmStartFolder::LoadSettings() {
  for (const TCompileData* item : GroupItems(package::kGroupStartMenu)) {
    if (sys::SameText(item->Caption, package::StartMenuCaptions[0])) {
      Image6->LoadFromFile(item->Value);
    } else if (sys::SameText(item->Caption, package::StartMenuCaptions[1])) {
      Edit1->SetText(item->Value);
    } else if (sys::SameText(item->Caption, package::StartMenuCaptions[2])) {
      if (item->Value != package::kSwitchOn) {
        Edit1->SetReadOnly(true);
        BitBtn1->SetEnabled(false);
      }
    } else if (sys::SameText(item->Caption, package::StartMenuCaptions[3])) {
      CheckBox1->SetVisible(item->Value == package::kSwitchOn);
    }
  }
  CheckBox1->SetChecked(compile().Options.CreateStartMenu != 0);
}
