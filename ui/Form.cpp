#include "ui/Form.h"

#include <utility>

#include "ui/Backend.h"
#include "ui/ProgramError.h"

namespace ui {

Form::Form(Backend& backend, std::string className)
    : Control(this, className, ControlKind::Form), backend_(backend),
      className_(std::move(className)) {
  SetVisible(false);
  SetBounds(0, 0, 320, 240);
  AttachPeer();
}

Form::~Form() {
  // Children before the form: their windows live inside the form's.
  while (!controls_.empty()) controls_.pop_back();
}

void Form::CheckNewName(const std::string& name) const {
  for (const auto& control : controls_) {
    if (control->Name() == name) {
      throw ProgramError(className_ + ": a second control named " + name);
    }
  }
}

Control* Form::FindControl(const std::string& name) {
  for (const auto& control : controls_) {
    if (control->Name() == name) return control.get();
  }
  return nullptr;
}

std::vector<Control*> Form::Controls() {
  std::vector<Control*> controls;
  controls.reserve(controls_.size());
  for (const auto& control : controls_) controls.push_back(control.get());
  return controls;
}

void Form::SetBorderStyle(BorderStyle style) { Assign(borderStyle_, style, Change::Style); }

void Form::SetPosition(Position position) { Assign(position_, position, Change::Style); }

int Form::ShowModal() {
  if (Visible()) throw ProgramError(className_ + ": a visible form cannot be made modal");
  modalResult_ = kMrNone;
  return backend_.RunModal(*this);
}

void Form::Close() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(canClose);
  if (!canClose) return;
  if (modalResult_ == kMrNone) modalResult_ = kMrCancel;
  SetVisible(false);
}

void Form::CloseByPerson() {
  Dispatch([this] { Close(); });
}

void Form::KeyDown(int key) {
  Dispatch([this, key] {
    if (OnKeyDown) OnKeyDown(key);
  });
}

void Form::Show() {
  if (Visible()) return;
  SetVisible(true);
  Dispatch([this] {
    if (OnShow) OnShow();
  });
}

}  // namespace ui
