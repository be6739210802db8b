// Button: a push button whose caption may carry an "&" accelerator (Alt+key clicks it). Never a
// default or cancel button, so Enter and Esc do nothing on its form.
#pragma once

#include "ui/Form.h"

namespace ui {

class Button : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::Button;
  Button(Form& owner, const std::string& name) : Control(&owner, name, kKind) {
    SetBounds(0, 0, 75, 25);
  }
};

}  // namespace ui
