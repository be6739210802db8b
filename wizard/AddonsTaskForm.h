// The tasks page: lets the person drop the desktop and quick-launch shortcuts the project
// offers. A shortcut the project does not offer stays hidden and off; none can be added.
#pragma once

#include "wizard/PageForm.h"

namespace ui {
class CheckBox;
class Image;
class Label;
}  // namespace ui

class TfrmAddonsTask : public wizard::PageForm {
 public:
  static constexpr const char* kClassName = "TfrmAddonsTask";
  explicit TfrmAddonsTask(ui::Backend& backend);

  ui::Image* Image6;
  ui::Label* Label10;
  ui::Label* Label11;
  ui::Label* Label1;
  ui::Label* Label2;
  ui::CheckBox* CheckBox1;
  ui::CheckBox* CheckBox2;

  void CheckBox1Click();
  void CheckBox2Click();

 protected:
  void LoadSettings() override;
};
