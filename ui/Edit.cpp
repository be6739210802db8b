#include "ui/Edit.h"

#include "ui/Backend.h"

namespace ui {

Edit::Edit(Form& owner, const std::string& name) : Control(&owner, name, kKind) {
  SetColor(kClWhite);
  SetBounds(0, 0, 121, 21);
}

void Edit::SetText(const std::string& text) {
  if (!Assign(text_, text, Change::Text)) return;
  if (OnChange) OnChange();
}

void Edit::SetReadOnly(bool readOnly) { Assign(readOnly_, readOnly, Change::ReadOnly); }

void Edit::TextTyped(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Dispatch([this] {
    if (OnChange) OnChange();
  });
}

}  // namespace ui
