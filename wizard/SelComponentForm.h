// The component page: the main program (always ticked) and the project's component packages,
// each with a tick, and the space they need. The ticks feed only the figure: TotalSize is all
// this page writes; the install run gets no per-component choice from it.
#pragma once

#include <cstdint>

#include "wizard/PageForm.h"

namespace ui {
class CheckListBox;
class Image;
class Label;
class Panel;
}  // namespace ui

class TfrmSelComponent : public wizard::PageForm {
 public:
  static constexpr const char* kClassName = "TfrmSelComponent";
  explicit TfrmSelComponent(ui::Backend& backend);

  ui::Image* Image5;
  ui::Label* Label18;
  ui::Label* Label19;
  ui::Label* Label4;
  ui::Panel* Panel12;
  ui::CheckListBox* List_Component;
  ui::Label* Label9;

  void List_ComponentClickCheck();
  // Size plus the sizes of the ticked components; stored in TotalSize and returned. A sum past
  // the 64-bit range stops at its largest value rather than wrapping to a negative size.
  int64_t CalcNeedSize();

 protected:
  void LoadSettings() override;

 private:
  void ShowNeedSize();
};
