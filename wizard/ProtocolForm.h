// The licence page: the project's licence file in a browser pane under a header. Accepting is
// going on (the frame's Next reads "我同意(&T)" here); declining is cancelling the wizard. The
// licence is loaded on the first visit only.
#pragma once

#include "wizard/PageForm.h"

namespace ui {
class BrowserPane;
class Image;
class Label;
class Panel;
}  // namespace ui

class TfrmProtocol : public wizard::PageForm {
 public:
  static constexpr const char* kClassName = "TfrmProtocol";
  explicit TfrmProtocol(ui::Backend& backend);
  FrameRole Role() const override { return FrameRole::Licence; }

  ui::Image* Img_Pro_Head;
  ui::Label* Label7;
  ui::Label* Lb_Pro_Head;
  ui::Label* Label6;
  ui::Panel* Panel10;
  ui::BrowserPane* WebBrowser1;
  ui::Label* Label5;

 protected:
  void LoadSettings() override;
};
