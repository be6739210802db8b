#include "wizard/PageControls.h"

#include "ui/BrowserPane.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Panel.h"

namespace wizard {

ui::Image* AddHeaderImage(ui::Form& form, const std::string& name) {
  auto* image = form.Add<ui::Image>(name);
  image->SetBounds(0, 0, form.ClientWidth(), 57);
  image->SetAlign(ui::Align::Top);
  return image;
}

ui::Label* AddHeaderLabel(ui::Form& form, const std::string& name, int left, int top,
                          const std::string& caption, bool bold) {
  auto* label = form.Add<ui::Label>(name);
  label->SetBounds(left, top, label->Width(), label->Height());
  label->SetCaption(caption);
  label->SetTransparent(true);
  ui::Font& font = label->MutableFont();
  font.Bold = bold;
  font.Color = ui::kClBlack;
  label->FontChanged();
  return label;
}

ui::Label* AddFixedLabel(ui::Form& form, const std::string& name, int left, int top, int width,
                         int height, const std::string& caption, bool wordWrap) {
  auto* label = form.Add<ui::Label>(name);
  label->SetAutoSize(false);
  label->SetWordWrap(wordWrap);
  label->SetBounds(left, top, width, height);
  label->SetCaption(caption);
  return label;
}

ui::BrowserPane* AddDocumentPane(ui::Form& form, ui::Panel*& panel, const std::string& panelName,
                                 int left, int top, int width, int height) {
  panel = form.Add<ui::Panel>(panelName);
  panel->SetBevelOuter(ui::BevelOuter::None);
  panel->SetBounds(left, top, width, height);
  auto* pane = form.Add<ui::BrowserPane>("WebBrowser1", panel);
  pane->SetAlign(ui::Align::Client);
  return pane;
}

}  // namespace wizard
