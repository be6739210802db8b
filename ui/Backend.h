// The backend interface: creates the peers of controls and runs modal loops. Two backends sit
// side by side: ui/win32 (real windows) and ui/headless (in-memory, for tests and simulate).
//
// Dispatch: every event that comes from the person or the clock (clicks, typing, timers, a
// form being shown, the close box) runs inside ui::Dispatch, which hands a std::exception to the
// process-wide reporter (the program shows it in a message box and carries on). Without a
// reporter the exception propagates to whoever drove the event (a test, the modal loop).
// Handlers fired by code (SetChecked, SetText) run directly: their exceptions belong to the code
// that made the change.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

namespace ui {

class Control;
class Form;
class Peer;

class Backend {
 public:
  virtual ~Backend();
  // Dispatches on control.Kind(); the control is fully constructed when this is called.
  virtual std::unique_ptr<Peer> CreatePeer(Control& control) = 0;
  // Shows the form and loops until form.ModalResult() != 0 or the form was hidden; returns the
  // result (kMrCancel when the loop ended without one).
  virtual int RunModal(Form& form) = 0;
  // Handles what is pending now (Application.ProcessMessages), then returns.
  virtual void ProcessMessages() = 0;
  // Dots per inch of the screen; forms keep 96-DPI numbers and only the backend scales.
  virtual int Dpi() const;

  // Told the native handle of the window now in front of the run (0 when none) each time a
  // modal loop starts or ends, so that message boxes and launches can be owned by it. The
  // headless backend has no native windows and never calls it.
  std::function<void(uintptr_t window)> OnTopWindowChanged;
};

void SetErrorReporter(std::function<void(const std::exception&)> reporter);
// Runs fn; a std::exception goes to the reporter when one is set, else it propagates.
void Dispatch(const std::function<void()>& fn);

}  // namespace ui
