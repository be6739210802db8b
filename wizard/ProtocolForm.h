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

class TfrmProtocol : public PageForm {
 public:
  static constexpr const char* kClassName = "TfrmProtocol";
  explicit TfrmProtocol(ui::Backend& backend);

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

// The text label of a document page: fixed width, at (left, top).
ui::Label* AddFixedLabel(ui::Form& form, const std::string& name, int left, int top, int width,
                         int height, const std::string& caption, bool wordWrap);
// The borderless panel holding a browser pane that fills it.
ui::BrowserPane* AddDocumentPane(ui::Form& form, ui::Panel*& panel, const std::string& panelName,
                                 int left, int top, int width, int height);
