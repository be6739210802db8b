// Bevel: a drawn line or box, nothing else.
#pragma once

#include "ui/Form.h"

namespace ui {

enum class Shape { TopLine, Box };

class Bevel : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::Bevel;
  Bevel(Form& owner, const std::string& name) : Control(&owner, name, kKind) {}

  ui::Shape GetShape() const { return shape_; }
  void SetShape(ui::Shape shape) { Assign(shape_, shape, Change::Style); }

 private:
  ui::Shape shape_ = Shape::Box;
};

}  // namespace ui
