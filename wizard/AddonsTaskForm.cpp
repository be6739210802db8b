#include "wizard/AddonsTaskForm.h"

#include "package/uSystem.h"
#include "package/uTypes.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "ui/CheckBox.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "wizard/PageControls.h"

namespace {

constexpr const char* kLabel1Pattern =
    "选择您想要安装程序在安装“%s”的时候执行的附加任务，点击“下一步”按钮继续后面的操作。";

}  // namespace

TfrmAddonsTask::TfrmAddonsTask(ui::Backend& backend) : PageForm(backend, kClassName) {
  SetCaption("附加任务");
  SetClientSize(508, 294);
  Image6 = wizard::AddHeaderImage(*this, "Image6");
  Label10 = wizard::AddHeaderLabel(*this, "Label10", 16, 14, "附加任务", true);
  Label11 = wizard::AddHeaderLabel(*this, "Label11", 29, 33, "您想要安装程序执行哪些任务？", false);
  Label1 = Add<ui::Label>("Label1");
  Label1->SetAutoSize(false);
  Label1->SetWordWrap(true);
  Label1->SetBounds(28, 69, 378, 28);
  Label1->SetCaption(kLabel1Pattern);
  Label2 = Add<ui::Label>("Label2");
  Label2->SetBounds(32, 112, Label2->Width(), Label2->Height());
  Label2->SetCaption("附加快捷方式：");
  CheckBox1 = Add<ui::CheckBox>("CheckBox1");
  CheckBox1->SetBounds(32, 136, 373, 17);
  CheckBox1->SetCaption("创建桌面快捷方式");
  CheckBox1->SetVisible(false);
  CheckBox1->OnClick = [this] { CheckBox1Click(); };
  CheckBox2 = Add<ui::CheckBox>("CheckBox2");
  CheckBox2->SetBounds(32, 160, 373, 17);
  CheckBox2->SetCaption("创建快速启动栏快捷方式");
  CheckBox2->SetVisible(false);
  CheckBox2->OnClick = [this] { CheckBox2Click(); };
}

void TfrmAddonsTask::CheckBox1Click() { compile().Options.DesktopIcon = CheckBox1->Checked(); }

void TfrmAddonsTask::CheckBox2Click() { compile().Options.QuickLaunchIcon = CheckBox2->Checked(); }

void TfrmAddonsTask::LoadSettings() {
  Label1->SetCaption(sys::Format(kLabel1Pattern, compile().ItemName));
  for (const TCompileData* item : GroupItems(package::kGroupTasks)) {
    if (sys::SameText(item->Caption, package::TaskCaptions[0])) {
      Image6->LoadFromFile(item->Value);
    } else if (sys::SameText(item->Caption, package::TaskCaptions[1]) &&
               item->Value == package::kSwitchOn) {
      CheckBox1->SetChecked(true);
      CheckBox1->SetVisible(true);
    } else if (sys::SameText(item->Caption, package::TaskCaptions[2]) &&
               item->Value == package::kSwitchOn) {
      CheckBox2->SetChecked(true);
      CheckBox2->SetVisible(true);
    }
  }
}
