// The readme page: the project's readme file in a browser pane under a header, loaded on the
// first visit only.
#pragma once

#include "wizard/PageForm.h"

namespace ui {
class BrowserPane;
class Image;
class Label;
class Panel;
}  // namespace ui

class TfrmSoftExplaion : public wizard::PageForm {
 public:
  static constexpr const char* kClassName = "TfrmSoftExplaion";
  explicit TfrmSoftExplaion(ui::Backend& backend);

  ui::Image* Image2;
  ui::Label* Label8;
  ui::Label* Label15;
  ui::Label* Label16;
  ui::Panel* Panel9;
  ui::BrowserPane* WebBrowser1;
  ui::Label* Label17;

 protected:
  void LoadSettings() override;
};
