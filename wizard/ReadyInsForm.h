// The ready page: a read-only summary of the person's choices, rebuilt every time the frame
// shows the page, so a choice changed after going back appears on the next visit.
#pragma once

#include <string>

#include "wizard/PageForm.h"

namespace ui {
class Image;
class Label;
class Memo;
class Panel;
}  // namespace ui

class TfrmReadyIns : public wizard::PageForm {
 public:
  static constexpr const char* kClassName = "TfrmReadyIns";
  explicit TfrmReadyIns(ui::Backend& backend);

  ui::Image* Image6;
  ui::Label* Label10;
  ui::Label* Label11;
  ui::Label* Label27;
  ui::Panel* Panel1;
  ui::Memo* Memo1;

  void BuildSummary();

 protected:
  void LoadSettings() override;
  void Assigned() override { BuildSummary(); }
};
