// The start-menu page: the name of the start-menu folder for the shortcuts (typed, or picked in
// the browse dialog under the common programs folder) and, when the project offers it, the
// switch that creates the start-menu shortcuts at all. Writes StartMenuFolder and
// CreateStartMenu as the person edits.
#pragma once

#include "wizard/PageForm.h"

namespace ui {
class Button;
class CheckBox;
class Edit;
class Image;
class Label;
}  // namespace ui

class TfrmStartFolder : public wizard::PageForm {
 public:
  static constexpr const char* kClassName = "TfrmStartFolder";
  explicit TfrmStartFolder(ui::Backend& backend);

  ui::Image* Image6;
  ui::Label* Label10;
  ui::Label* Label11;
  ui::Image* Image1;
  ui::Label* Label1;
  ui::Label* Label2;
  ui::Edit* Edit1;
  ui::Button* BitBtn1;
  ui::CheckBox* CheckBox1;

  void Edit1Change();
  void CheckBox1Click();
  void BitBtn1Click();

 protected:
  void LoadSettings() override;
};

namespace wizard {

// The folder row shared with the install-folder page: Image1, Label1, Label2, Edit1, BitBtn1
// at their places. Label1's caption is given.
void AddFolderRow(ui::Form& form, const std::string& label1, ui::Image*& image1,
                  ui::Label*& label1Control, ui::Label*& label2, ui::Edit*& edit1,
                  ui::Button*& bitBtn1);

}  // namespace wizard
