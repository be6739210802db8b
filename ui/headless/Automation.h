// The scripted person for the headless backend, and the text rendering of a form.
//
// Each action finds its control by name (in the form, then in its embedded page forms from the
// front one back) and fails loudly with AutomationError, naming the form and the control and
// carrying the form's rendering, when the name is missing, names another kind of control, or
// the control is hidden or disabled (itself or a parent): a person could not do it either.
// Actions run the same paths as the win32 peers (Click(), Edit::TextTyped, CloseByPerson).
#pragma once

#include <string>
#include <vector>

#include "system/Error.h"

namespace ui {

class Control;
class Form;
enum class ControlKind;

class AutomationError : public sys::MessageError {
 public:
  using MessageError::MessageError;
};

// The caption, then the visible controls in reading order (top, then left) with their texts:
// check marks [x]/[ ], "(disabled)", progress "37/100", a memo's lines. Of several page forms
// stacked in one container only the front one is shown. Texts stay GBK.
std::string RenderForm(const Form& form);

void ClickButton(Form& form, const std::string& name);
// Replaces the edit's text as typing would; fails on a read-only edit too.
void TypeText(Form& form, const std::string& name, const std::string& text);
// Clicks the check box only when its state differs from checked.
void SetCheck(Form& form, const std::string& name, bool checked);
// The close box; fails when the form is not shown.
void CloseForm(Form& form);
Control& FindNamed(Form& form, const std::string& name);
// The control a person is about to use: present, of the kind, shown and enabled (else the
// AutomationError above).
Control& Reachable(Form& form, const std::string& name, ControlKind kind);
// Runs the form's OnPaint on a canvas that records the calls ("DrawPictureStretched <path>").
std::vector<std::string> PaintForm(Form& form);

}  // namespace ui
