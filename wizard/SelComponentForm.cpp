#include "wizard/SelComponentForm.h"

#include <limits>

#include "package/uSystem.h"
#include "package/uTypes.h"
#include "system/Gbk.h"
#include "system/SystemHelpers.h"
#include "ui/CheckListBox.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Panel.h"
#include "wizard/PageControls.h"

namespace {

constexpr const char* kNeedSizeCaption = "所需空间大小";

int64_t SaturatingAdd(int64_t a, int64_t b) {
  int64_t sum;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
}

}  // namespace

TfrmSelComponent::TfrmSelComponent(ui::Backend& backend) : PageForm(backend, kClassName) {
  SetCaption("选择组件");
  SetClientSize(508, 294);
  Image5 = wizard::AddHeaderImage(*this, "Image5");
  Label18 = wizard::AddHeaderLabel(*this, "Label18", 24, 15, "选择安装组件", true);
  Label19 = wizard::AddHeaderLabel(*this, "Label19", 48, 34, "选择你要安装的哪些组件", false);
  Label4 = Add<ui::Label>("Label4");
  Label4->SetAutoSize(false);
  Label4->SetWordWrap(true);
  Label4->SetBounds(16, 73, 257, 12);
  Label4->SetCaption("选择您想要安装的组件，点击[下一步]继续。");
  Panel12 = Add<ui::Panel>("Panel12");
  Panel12->SetBounds(16, 95, 382, 151);
  Panel12->SetBevelOuter(ui::BevelOuter::Lowered);
  List_Component = Add<ui::CheckListBox>("List_Component", Panel12);
  List_Component->SetAlign(ui::Align::Client);
  List_Component->SetBorderNone(true);
  List_Component->SetItemHeight(18);
  List_Component->OnClickCheck = [this] { List_ComponentClickCheck(); };
  Label9 = Add<ui::Label>("Label9");
  Label9->SetBounds(16, 257, Label9->Width(), Label9->Height());
  Label9->SetCaption(kNeedSizeCaption);
}

void TfrmSelComponent::List_ComponentClickCheck() {
  if (List_Component->Count() > 0 && !List_Component->Checked(0))
    List_Component->SetChecked(0, true);
  ShowNeedSize();
}

int64_t TfrmSelComponent::CalcNeedSize() {
  int64_t total = compile().Size;
  for (int i = 1; i < List_Component->Count(); ++i) {
    if (!List_Component->Checked(i)) continue;
    auto* component = static_cast<const TCompileCompData*>(List_Component->Data(i));
    if (component) total = SaturatingAdd(total, component->CompSize);
  }
  compile().Options.TotalSize = total;
  return total;
}

void TfrmSelComponent::ShowNeedSize() {
  Label9->SetCaption(std::string(kNeedSizeCaption) + " " + sys::SizeToText(CalcNeedSize()));
}

void TfrmSelComponent::LoadSettings() {
  for (const TCompileData* item : GroupItems(package::kGroupComponents)) {
    if (sys::SameText(item->Caption, package::ComponentCaptions[0]))
      Image5->LoadFromFile(item->Value);
  }
  List_Component->AddItem("主程序", nullptr, true);
  for (const auto& component : compile().CompList) {
    List_Component->AddItem(component->CompName, component.get(), true);
  }
  ShowNeedSize();
}
