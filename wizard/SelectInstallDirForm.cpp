#include "wizard/SelectInstallDirForm.h"

#include "engine/DestinationRules.h"
#include "package/uCommon.h"
#include "package/uSystem.h"
#include "package/uTypes.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "system/SystemHelpers.h"
#include "ui/Button.h"
#include "ui/Edit.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "wizard/PageControls.h"
#include "wizard/StartFolderForm.h"
#include "wizard/StartFolderInfoForm.h"

namespace {

constexpr const char* kLabel1Pattern = "安装程序将安装“%s”到下列文件夹中。";

ui::Label* AddSizeLabel(ui::Form& form, const std::string& name, int left, int top,
                        const std::string& caption) {
  auto* label = form.Add<ui::Label>(name);
  label->SetBounds(left, top, label->Width(), label->Height());
  label->SetCaption(caption);
  return label;
}

}  // namespace

TfrmSelectInstallDir::TfrmSelectInstallDir(ui::Backend& backend) : PageForm(backend, kClassName) {
  SetCaption("选择安装文件夹");
  SetClientSize(508, 294);
  Image6 = wizard::AddHeaderImage(*this, "Image6");
  Label10 = wizard::AddHeaderLabel(*this, "Label10", 16, 14, "选择软件的安装目录", true);
  Label11 = wizard::AddHeaderLabel(*this, "Label11", 29, 33,
                           "请选择安装目录，如不选择安装向导将选择默认的目录进行安装", false);
  wizard::AddFolderRow(*this, kLabel1Pattern, Image1, Label1, Label2, Edit1, BitBtn1);
  Edit1->OnChange = [this] { Edit1Change(); };
  BitBtn1->OnClick = [this] { BitBtn1Click(); };
  Label14 = AddSizeLabel(*this, "Label14", 33, 188, "安装所需空间大小");
  lNeedsSize = AddSizeLabel(*this, "lNeedsSize", 148, 188, "");
  Label20 = AddSizeLabel(*this, "Label20", 33, 212, "目标驱动器剩余空间");
  lDrvSize = AddSizeLabel(*this, "lDrvSize", 148, 212, "");
}

void TfrmSelectInstallDir::Edit1Change() {
  const std::string& text = Edit1->Text();
  if (!text.empty()) lDrvSize->SetCaption(sys::SizeToText(sys::GetDiskFree(text[0])));
  if (CompileAssigned()) compile().Options.InstallDir = TrimBackslash(text);
}

void TfrmSelectInstallDir::BitBtn1Click() {
  TfrmStartFolderInfo dialog(GetBackend());
  dialog.SetOwnerForm(&wizard::TopLevelForm(*this));
  dialog.SetValue(Edit1->Text());
  dialog.SetKind(tfkFolder);
  if (dialog.ShowModal() == ui::kMrOk) Edit1->SetText(dialog.Value());
}

void TfrmSelectInstallDir::LoadSettings() {
  for (const TCompileData* item : GroupItems(package::kGroupInstallDir)) {
    if (sys::SameText(item->Caption, package::InstallDirCaptions[0])) {
      Image6->LoadFromFile(item->Value);
    } else if (sys::SameText(item->Caption, package::InstallDirCaptions[1])) {
      Edit1->SetText(ExpandSystemPath(item->Value));
    } else if (sys::SameText(item->Caption, package::InstallDirCaptions[2])) {
      if (item->Value != package::kSwitchOn) {
        Edit1->SetReadOnly(true);
        BitBtn1->SetEnabled(false);
      }
    }
  }
  Label1->SetCaption(sys::Format(kLabel1Pattern, compile().ItemName));
  lNeedsSize->SetCaption(sys::SizeToText(compile().Options.TotalSize));
}
