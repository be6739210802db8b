// Edit: a one-line text box.
//
// Change rule: SetText fires OnChange only when the text really changes (directly, so the
// handler's exceptions reach the code that set it). A person's typing comes in through
// TextTyped (win32 EN_CHANGE, headless TypeText): it fires OnChange inside ui::Dispatch, also
// only when the text differs from what the control holds.
#pragma once

#include "ui/Form.h"

namespace ui {

class Edit : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::Edit;
  Edit(Form& owner, const std::string& name);

  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  // The typing path: the text the person left in the box.
  void TextTyped(const std::string& text);

  std::function<void()> OnChange;

 private:
  std::string text_;
  bool readOnly_ = false;
};

}  // namespace ui
