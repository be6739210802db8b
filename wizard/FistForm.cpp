#include "wizard/FistForm.h"

#include "package/uSystem.h"
#include "package/uTypes.h"
#include "system/Platform.h"
#include "ui/Image.h"
#include "ui/Label.h"

namespace {

constexpr const char* kLabel1Pattern = "欢迎使用“%s”安装向导";
constexpr const char* kLabel2Pattern =
    "欢迎使用“%s”，这个向导将指引您完成对“%s”的安装进程。";

ui::Label* AddTextLabel(ui::Form& form, const std::string& name, int top, int height,
                        const std::string& caption) {
  auto* label = form.Add<ui::Label>(name);
  label->SetAutoSize(false);
  label->SetWordWrap(true);
  label->SetTransparent(true);
  label->SetBounds(160, top, 341, height);
  label->SetCaption(caption);
  return label;
}

}  // namespace

namespace wizard {

std::string FormatPattern(const std::string& pattern, const std::string& argument) {
  std::string text;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
      text += argument;
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

}  // namespace wizard

TfrmFist::TfrmFist(ui::Backend& backend) : PageForm(backend, kClassName) {
  SetCaption("首页");
  SetClientSize(508, 294);
  Image1 = Add<ui::Image>("Image1");
  Image1->SetBounds(0, 0, 508, 287);
  Image1->SetTransparent(true);
  Label1 = AddTextLabel(*this, "Label1", 16, 41, kLabel1Pattern);
  ui::Font& title = Label1->MutableFont();
  title.Bold = true;
  title.Height = 16;
  Label1->FontChanged();
  Label2 = AddTextLabel(*this, "Label2", 64, 47, kLabel2Pattern);
  Label3 = AddTextLabel(*this, "Label3", 122, 57,
                        "在开始安装之前，建议先关闭其它应用程序，这将使安装向导能顺利安装所有文件。"
                        "\r\n\r\n点击[下一步(&N)>]将继续。");
  Label4 = Add<ui::Label>("Label4");
  Label4->SetTransparent(true);
  Label4->SetBounds(160, 203, Label4->Width(), Label4->Height());
  Label4->SetCaption("Label4");
  Label4->SetVisible(false);
  Label5 = Add<ui::Label>("Label5");
  Label5->SetTransparent(true);
  Label5->SetBounds(160, 235, Label5->Width(), Label5->Height());
  Label5->SetCaption("Label5");
  Label5->SetCursor(ui::Cursor::HandPoint);
  ui::Font& link = Label5->MutableFont();
  link.Color = ui::kClBlue;
  link.Underline = true;
  Label5->FontChanged();
  Label5->SetVisible(false);
  Label5->OnClick = [this] { Label5Click(); };
}

void TfrmFist::Label5Click() {
  sys::ShellRequest request;
  request.verb = "Open";
  request.file = Label5->Caption();
  request.showCommand = sys::kSwShowNormal;
  sys::CurrentPlatform().ShellRun(request);
}

void TfrmFist::LoadSettings() {
  Label1->SetCaption(wizard::FormatPattern(kLabel1Pattern, compile().ItemName));
  Label2->SetCaption(wizard::FormatPattern(kLabel2Pattern, compile().ItemName));
  // The welcome keys compare exactly, unlike the other pages' keys.
  for (const TCompileData* item : GroupItems(package::kGroupWelcome)) {
    if (item->Caption == package::WelcomeCaptions[0]) {
      if (sys::CurrentPlatform().FileExists(item->Value)) Image1->LoadFromFile(item->Value);
    } else if (item->Caption == package::WelcomeCaptions[1] ||
               item->Caption == package::WelcomeCaptions[2]) {
      ui::Label* label = item->Caption == package::WelcomeCaptions[1] ? Label4 : Label5;
      label->SetVisible(!item->Value.empty());
      if (!item->Value.empty()) label->SetCaption(item->Value);
    }
  }
}
