#include "wizard/ReadyInsForm.h"

#include "package/uSystem.h"
#include "package/uTypes.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Memo.h"
#include "ui/Panel.h"
#include "wizard/PageControls.h"

namespace {

constexpr const char* kLabel11Pattern = "安装程序现在开始准备安装“%s”到您的电脑中";

}  // namespace

TfrmReadyIns::TfrmReadyIns(ui::Backend& backend) : PageForm(backend, kClassName) {
  SetCaption("准备安装");
  SetClientSize(508, 294);
  Image6 = wizard::AddHeaderImage(*this, "Image6");
  Label10 = wizard::AddHeaderLabel(*this, "Label10", 16, 14, "准备安装", true);
  Label11 = wizard::AddHeaderLabel(*this, "Label11", 29, 33, kLabel11Pattern, false);
  Label27 = Add<ui::Label>("Label27");
  Label27->SetAutoSize(false);
  Label27->SetWordWrap(true);
  Label27->SetBounds(16, 70, 473, 28);
  Label27->SetCaption(
      "点击“安装”按钮继续安装程序，如果您要改变之前设置，请点击“上一步”按钮。"
      "在安装过程中，请不要强制中断或是退出安装进程，否则会导致程序不能正常被卸载。");
  Panel1 = Add<ui::Panel>("Panel1");
  Panel1->SetBounds(16, 114, 473, 153);
  Panel1->SetBevelOuter(ui::BevelOuter::Lowered);
  Memo1 = Add<ui::Memo>("Memo1", Panel1);
  Memo1->SetAlign(ui::Align::Client);
  Memo1->SetBounds(0, 0, 473, 153);
  Memo1->SetBorderNone(true);
  Memo1->SetColor(ui::kClBtnFace);
  Memo1->SetReadOnly(true);
  Memo1->SetScrollBars(ui::ScrollBars::Vertical);
}

void TfrmReadyIns::LoadSettings() {
  for (const TCompileData* item : GroupItems(package::kGroupReady)) {
    if (sys::SameText(item->Caption, package::ReadyCaptions[0])) Image6->LoadFromFile(item->Value);
  }
  Label11->SetCaption(sys::Format(kLabel11Pattern, compile().ItemName));
}

void TfrmReadyIns::BuildSummary() {
  const TInstallData& options = compile().Options;
  // Each text brings its own CR LF, so an empty line follows every summary line.
  Memo1->Clear();
  Memo1->AddLine("");
  Memo1->AddLine("  “" + compile().ItemName + "”安装到“" + options.InstallDir + "”文件夹下\r\n");
  if (options.DesktopIcon) Memo1->AddLine("  创建快捷方式到桌面\r\n");
  if (options.QuickLaunchIcon) Memo1->AddLine("  创建快捷方式到快速启栏中\r\n");
  if (options.CreateStartMenu) {
    Memo1->AddLine("  创建快捷方式到开始菜单的“" + options.StartMenuFolder + "”文件夹中\r\n");
  }
}
