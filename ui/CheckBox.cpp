#include "ui/CheckBox.h"

#include "ui/Backend.h"

namespace ui {

void CheckBox::SetChecked(bool checked) {
  if (!Assign(checked_, checked, Change::Checked)) return;
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
