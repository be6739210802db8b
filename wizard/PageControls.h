// The controls every wizard page builds the same way: the header picture with its texts over
// it, fixed-size text labels, and the document pane of the licence and information pages.
// Each is added to the form by name, as the page's own controls are.
#pragma once

#include <string>

namespace ui {
class BrowserPane;
class Form;
class Image;
class Label;
class Panel;
}  // namespace ui

namespace wizard {

// The page's header picture: aligned to the top, 57 pixels high. A missing or unreadable
// picture file leaves it empty (Image::LoadFromFile never throws).
ui::Image* AddHeaderImage(ui::Form& form, const std::string& name);
// The header texts drawn over that picture: black, transparent, the title bold.
ui::Label* AddHeaderLabel(ui::Form& form, const std::string& name, int left, int top,
                          const std::string& caption, bool bold);
// A text label of fixed size at (left, top), not sized to its text.
ui::Label* AddFixedLabel(ui::Form& form, const std::string& name, int left, int top, int width,
                         int height, const std::string& caption, bool wordWrap);
// The borderless panel holding a browser pane ("WebBrowser1") that fills it.
ui::BrowserPane* AddDocumentPane(ui::Form& form, ui::Panel*& panel, const std::string& panelName,
                                 int left, int top, int width, int height);

}  // namespace wizard
