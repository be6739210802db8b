// The welcome page: the product's name in the title and greeting, the advice to close other
// programs, and, when the project gives them, the company name and the web link. The whole
// page may carry a background picture. It writes nothing into the project object.
#pragma once

#include "wizard/PageForm.h"

namespace ui {
class Image;
class Label;
}  // namespace ui

class TfrmFist : public wizard::PageForm {
 public:
  static constexpr const char* kClassName = "TfrmFist";
  explicit TfrmFist(ui::Backend& backend);

  ui::Image* Image1;
  ui::Label* Label1;
  ui::Label* Label2;
  ui::Label* Label3;
  ui::Label* Label4;
  ui::Label* Label5;

  void Label5Click();

 protected:
  void LoadSettings() override;
};

namespace wizard {

// pattern with every "%s" replaced by argument. Only the pattern is scanned, so an argument
// holding "%" shows literally.
std::string FormatPattern(const std::string& pattern, const std::string& argument);

}  // namespace wizard
