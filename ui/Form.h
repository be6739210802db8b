// Form: a top-level window, or a borderless page embedded in a Panel of another form. It owns
// its controls (created by name with Add<T>, found by name with Find<T>) and runs its modal loop
// through the backend.
//
// A form's Width()/Height() are its client size; the backend adds the frame. Forms start
// hidden. Neither Enter nor Esc acts on a form: no button is a default or cancel button.
//
// Close() asks OnCloseQuery (called directly, so its exceptions reach the caller); when the form
// may close it is hidden and its modal loop ends with kMrCancel unless a result was set. The
// close box of a window goes through CloseByPerson(), which does the same inside ui::Dispatch.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/Canvas.h"
#include "ui/Control.h"

namespace ui {

class Backend;

enum class BorderStyle { None, Single, Dialog, Sizeable };
enum class Position { Designed, ScreenCenter, OwnerFormCenter, WorkArea /* fills the work area */ };
inline constexpr int kMrNone = 0, kMrOk = 1, kMrCancel = 2;

class Form : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::Form;

  // className names the form's class for the program and the renderings ("TfrmParent").
  Form(Backend& backend, std::string className);
  ~Form() override;

  const std::string& ClassName() const { return className_; }

  // Creates a control owned by this form, its parent the form itself unless given. Names are
  // unique within a form; a second control of the same name is a programming error (throws).
  template <class T>
  T* Add(const std::string& name, Control* parent = nullptr) {
    CheckNewName(name);
    auto control = std::make_unique<T>(*this, name);
    T* raw = control.get();
    controls_.push_back(std::move(control));
    raw->SetParent(parent ? parent : this);
    raw->AttachPeer();
    return raw;
  }
  // nullptr when missing.
  Control* FindControl(const std::string& name);
  // nullptr when missing or of another kind.
  template <class T>
  T* Find(const std::string& name) {
    Control* control = FindControl(name);
    return control && control->Kind() == T::kKind ? static_cast<T*>(control) : nullptr;
  }
  // In creation order.
  std::vector<Control*> Controls();

  int ClientWidth() const override { return Width(); }
  int ClientHeight() const override { return Height(); }
  void SetClientSize(int width, int height) { SetBounds(Left(), Top(), width, height); }
  BorderStyle GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(BorderStyle style);
  Position GetPosition() const { return position_; }
  void SetPosition(Position position);
  Form* OwnerFormWindow() const { return ownerWindow_; }
  // The window this form is centred on and owned by (OwnerFormCenter).
  void SetOwnerForm(Form* owner) { ownerWindow_ = owner; }

  // Runs the modal loop (Backend::RunModal) with the result reset first; returns the result.
  // The form must be hidden (ProgramError otherwise).
  int ShowModal();
  int ModalResult() const { return modalResult_; }
  // A non-zero result ends the modal loop.
  void SetModalResult(int result) { modalResult_ = result; }
  void Close();
  // The close box: Close() inside ui::Dispatch.
  void CloseByPerson();
  // Makes the form visible; fires OnShow (inside ui::Dispatch) when it was hidden.
  void Show();
  // Asks the backend for OnPaint.
  void Invalidate() { Notify(Change::Paint); }
  Backend& GetBackend() { return backend_; }
  // The control of this form the program last gave the keyboard (Control::SetFocus); nullptr
  // before. What a person's Tab or click focuses later is not followed.
  Control* FocusedControl() const { return focused_; }

  // A key pressed while the form is active, seen by the form before its controls (virtual-key
  // codes: 13 Enter, 27 Esc). The win32 loop offers a key to the form only when OnKeyDown is set.
  void KeyDown(int key);
  std::function<void(int key)> OnKeyDown;
  std::function<void()> OnShow;
  std::function<void(bool& canClose)> OnCloseQuery;
  std::function<void(Canvas& canvas)> OnPaint;

 private:
  friend class Control;  // records SetFocus
  void CheckNewName(const std::string& name) const;

  Backend& backend_;
  std::string className_;
  std::vector<std::unique_ptr<Control>> controls_;
  BorderStyle borderStyle_ = BorderStyle::Sizeable;
  Position position_ = Position::Designed;
  Form* ownerWindow_ = nullptr;
  int modalResult_ = kMrNone;
  Control* focused_ = nullptr;
};

}  // namespace ui
