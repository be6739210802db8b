// The install-folder page: the folder the product goes to (the project's default, typed, or
// picked in the browse dialog), the space the install needs (computed once, on the first
// visit) and the free space on the folder's drive. Writes InstallDir, without a trailing
// backslash, as the person edits. Nothing is checked: Next takes any folder.
#pragma once

#include "wizard/PageForm.h"

namespace ui {
class Button;
class Edit;
class Image;
class Label;
}  // namespace ui

class TfrmSelectInstallDir : public wizard::PageForm {
 public:
  static constexpr const char* kClassName = "TfrmSelectInstallDir";
  explicit TfrmSelectInstallDir(ui::Backend& backend);

  ui::Image* Image6;
  ui::Label* Label10;
  ui::Label* Label11;
  ui::Image* Image1;
  ui::Label* Label1;
  ui::Label* Label2;
  ui::Edit* Edit1;
  ui::Button* BitBtn1;
  ui::Label* Label14;
  ui::Label* lNeedsSize;
  ui::Label* Label20;
  ui::Label* lDrvSize;

  void Edit1Change();
  void BitBtn1Click();

 protected:
  void LoadSettings() override;
};
