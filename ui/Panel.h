// Panel: a container. A raised or lowered bevel keeps a one-pixel edge inside its bounds, which
// aligned children leave free.
#pragma once

#include "ui/Form.h"

namespace ui {

enum class BevelOuter { None, Lowered, Raised };

class Panel : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::Panel;
  Panel(Form& owner, const std::string& name) : Control(&owner, name, kKind) {}

  BevelOuter GetBevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(BevelOuter bevel) {
    if (Assign(bevelOuter_, bevel, Change::Style)) RealignChildren();
  }
  int ClientInset() const override { return bevelOuter_ == BevelOuter::None ? 0 : 1; }

 private:
  BevelOuter bevelOuter_ = BevelOuter::Raised;
};

}  // namespace ui
