// The finish page: says the product is installed and lets the person choose whether the
// application and the readme are opened when the frame's Finish button is pressed (the frame
// opens them; this page only writes RunApp and ShowReadme).
#pragma once

#include "wizard/PageForm.h"

namespace ui {
class CheckBox;
class Image;
class Label;
}  // namespace ui

class TfrmEndIns : public wizard::PageForm {
 public:
  static constexpr const char* kClassName = "TfrmEndIns";
  explicit TfrmEndIns(ui::Backend& backend);
  FrameRole Role() const override { return FrameRole::Finish; }

  ui::Image* Image9;
  ui::Label* Lb_Insted_Prog;
  ui::Label* Label1;
  ui::Label* Label2;
  ui::CheckBox* CheckBox1;
  ui::CheckBox* CheckBox2;

  void CheckBox1Click();
  void CheckBox2Click();

 protected:
  void LoadSettings() override;
};
