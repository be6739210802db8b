#include "wizard/PageForm.h"

#include "package/uSystem.h"
#include "ui/Image.h"
#include "ui/Label.h"

void PageForm::SetCompile(TCompile& compile) {
  if (compile_ == nullptr) {
    compile_ = &compile;
    LoadSettings();
  }
  Assigned();
}

std::vector<TCompileData*> PageForm::GroupItems(uint8_t group) const {
  std::vector<TCompileData*> items;
  compile_->GetGroupItems(group, items);
  return items;
}

ui::Image* AddHeaderImage(ui::Form& form, const std::string& name) {
  auto* image = form.Add<ui::Image>(name);
  image->SetBounds(0, 0, form.ClientWidth(), 57);
  image->SetAlign(ui::Align::Top);
  return image;
}

ui::Label* AddHeaderLabel(ui::Form& form, const std::string& name, int left, int top,
                          const std::string& caption, bool bold) {
  auto* label = form.Add<ui::Label>(name);
  label->SetBounds(left, top, label->Width(), label->Height());
  label->SetCaption(caption);
  label->SetTransparent(true);
  ui::Font& font = label->MutableFont();
  font.Bold = bold;
  font.Color = ui::kClBlack;
  label->FontChanged();
  return label;
}
