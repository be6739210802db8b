#include "ui/CheckBox.h"

#include "ui/Backend.h"

namespace ui {

void CheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Notify(Change::Checked);
  if (OnClick) OnClick();
}

void CheckBox::Click() {
  if (!CanAct()) return;
  checked_ = !checked_;
  Notify(Change::Checked);
  Dispatch([this] {
    if (OnClick) OnClick();
  });
}

}  // namespace ui
