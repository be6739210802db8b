// CheckBox: a standard check box with a caption.
//
// Click rule: SetChecked fires OnClick only when the state really changes (directly, so the
// handler's exceptions reach the code that set it). A person's click, Click(), toggles the
// state and fires OnClick inside ui::Dispatch, and only while the box can be acted on (enabled
// and visible, its parents too). The win32 peer calls Click() for BN_CLICKED.
#pragma once

#include "ui/Form.h"

namespace ui {

class CheckBox : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::CheckBox;
  CheckBox(Form& owner, const std::string& name) : Control(&owner, name, kKind) {
    SetBounds(0, 0, 97, 17);
  }

  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  void Click() override;

 private:
  bool checked_ = false;
};

}  // namespace ui
