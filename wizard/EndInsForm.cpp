#include "wizard/EndInsForm.h"

#include "package/uSystem.h"
#include "package/uTypes.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "ui/CheckBox.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "wizard/PageControls.h"

namespace {

constexpr const char* kTitlePattern = "“%s”安装向导已完成安装";
constexpr const char* kTextPattern =
    "安装程序已在您电脑中成功安装了“%s”，此应用程序可通过快捷方式启动运行。";
constexpr const char* kRunPattern = "运行“%s”";

// A wrapped text over the page's picture.
ui::Label* AddTextOverPicture(ui::Form& form, const std::string& name, int left, int top,
                              int width, int height, const std::string& caption) {
  ui::Label* label = wizard::AddFixedLabel(form, name, left, top, width, height, caption, true);
  label->SetTransparent(true);
  return label;
}

}  // namespace

TfrmEndIns::TfrmEndIns(ui::Backend& backend) : PageForm(backend, kClassName) {
  SetCaption("安装完成");
  SetClientSize(508, 294);
  SetColor(ui::kClWhite);
  // The picture's place is the whole page; the picture shows at its own size from the
  // top-left corner, as on the welcome page, so a side picture stays a side picture beside the
  // texts instead of being stretched under them.
  Image9 = Add<ui::Image>("Image9");
  Image9->SetAlign(ui::Align::Client);
  Lb_Insted_Prog = AddTextOverPicture(*this, "Lb_Insted_Prog", 168, 28, 302, 45, kTitlePattern);
  ui::Font& font = Lb_Insted_Prog->MutableFont();
  font.Name = "宋体";
  font.Bold = true;
  font.Height = 16;
  font.Color = ui::kClBlack;
  Lb_Insted_Prog->FontChanged();
  Label1 = AddTextOverPicture(*this, "Label1", 168, 74, 302, 28, kTextPattern);
  Label2 = Add<ui::Label>("Label2");
  Label2->SetBounds(168, 110, Label2->Width(), Label2->Height());
  Label2->SetCaption("点击“完成”按钮退出安装向导");
  CheckBox1 = Add<ui::CheckBox>("CheckBox1");
  CheckBox1->SetBounds(168, 133, 297, 17);
  CheckBox1->SetCaption(kRunPattern);
  CheckBox1->SetVisible(false);
  CheckBox1->OnClick = [this] { CheckBox1Click(); };
  CheckBox2 = Add<ui::CheckBox>("CheckBox2");
  CheckBox2->SetBounds(168, 157, 289, 17);
  CheckBox2->SetCaption("Readme");
  CheckBox2->SetVisible(false);
  CheckBox2->OnClick = [this] { CheckBox2Click(); };
}

void TfrmEndIns::CheckBox1Click() { compile().Options.RunApp = CheckBox1->Checked(); }

void TfrmEndIns::CheckBox2Click() { compile().Options.ShowReadme = CheckBox2->Checked(); }

void TfrmEndIns::LoadSettings() {
  for (const TCompileData* item : GroupItems(package::kGroupFinish)) {
    if (sys::SameText(item->Caption, package::FinishCaptions[0])) {
      Image9->LoadFromFile(item->Value);
    } else if (sys::SameText(item->Caption, package::FinishCaptions[1]) && !item->Value.empty()) {
      CheckBox1->SetChecked(true);
      CheckBox1->SetVisible(true);
      CheckBox1->SetCaption(sys::Format(kRunPattern, compile().ItemName));
    } else if (sys::SameText(item->Caption, package::FinishCaptions[2]) && !item->Value.empty()) {
      CheckBox2->SetChecked(true);
      CheckBox2->SetVisible(true);
    }
  }
  Lb_Insted_Prog->SetCaption(sys::Format(kTitlePattern, compile().ItemName));
  Label1->SetCaption(sys::Format(kTextPattern, compile().ItemName));
}
