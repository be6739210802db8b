// The modal loops, in the manner of VCL's ShowModal: the other windows of the thread are
// disabled, and a message loop runs until the form has a result, is hidden, or WM_QUIT comes
// (which is handed on, so every loop up to the program's own ends too).
#include <vector>

#include <windows.h>

#include "ui/Form.h"
#include "ui/ProgramError.h"
#include "ui/win32/Win32Internal.h"

namespace ui::win32 {

namespace {

struct EnabledWindows {
  HWND except;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectEnabled(HWND window, LPARAM data) {
  auto* collected = reinterpret_cast<EnabledWindows*>(data);
  if (window != collected->except && IsWindowVisible(window) && IsWindowEnabled(window)) {
    collected->windows.push_back(window);
  }
  return TRUE;
}

}  // namespace

void Win32Backend::Pump(bool wait, bool& quit) {
  MSG message;
  for (;;) {
    if (wait) {
      BOOL got = GetMessageW(&message, nullptr, 0, 0);
      if (got == -1) {
        quit = true;
        return;
      }
    } else if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      return;
    }
    if (message.message == WM_QUIT) {
      // Handed on, so every loop up to the program's own ends too.
      quit = true;
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Form* top = TopModal();
    // A form that previews keys sees them before its controls (the browse dialog's Enter).
    if (top && top->OnKeyDown && message.message == WM_KEYDOWN) {
      top->KeyDown(static_cast<int>(message.wParam));
      if (top->ModalResult() != kMrNone) {
        if (wait) return;
        continue;
      }
    }
    // The dialog manager gives the top modal form Tab, the arrow keys and Alt+accelerators.
    auto* peer = top ? static_cast<WindowPeer*>(top->GetPeer()) : nullptr;
    if (!peer || !peer->Window() || !IsDialogMessageW(peer->Window(), &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    RethrowKept();
    if (wait) return;
  }
}

void Win32Backend::ProcessMessages() {
  bool quit = false;
  Pump(false, quit);
}

int Win32Backend::RunModal(Form& form) {
  auto* peer = static_cast<WindowPeer*>(form.GetPeer());
  if (!peer || !peer->Window()) throw ProgramError(form.ClassName() + ": no window");
  HWND window = peer->Window();
  // Owned by the window it opens from, so it stays in front of it and centres on it.
  HWND owner = nullptr;
  if (Form* ownerForm = form.OwnerFormWindow()) {
    owner = static_cast<WindowPeer*>(ownerForm->GetPeer())->Window();
  } else if (Form* top = TopModal()) {
    owner = static_cast<WindowPeer*>(top->GetPeer())->Window();
  }
  if (owner) SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));

  EnabledWindows disabled{window, {}};
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled));
  for (HWND other : disabled.windows) EnableWindow(other, FALSE);
  modalStack_.push_back(&form);
  if (OnTopWindowChanged) OnTopWindowChanged(reinterpret_cast<uintptr_t>(window));
  auto restore = [&] {
    modalStack_.pop_back();
    if (OnTopWindowChanged) {
      Form* top = TopModal();
      HWND front = top ? static_cast<WindowPeer*>(top->GetPeer())->Window() : owner;
      OnTopWindowChanged(reinterpret_cast<uintptr_t>(front));
    }
    for (auto it = disabled.windows.rbegin(); it != disabled.windows.rend(); ++it) {
      if (IsWindow(*it)) EnableWindow(*it, TRUE);
    }
    if (IsWindow(window)) ShowWindow(window, SW_HIDE);
    if (owner && IsWindow(owner)) SetActiveWindow(owner);
  };
  try {
    form.Show();
    SetForegroundWindow(window);
    if (HWND first = GetNextDlgTabItem(window, nullptr, FALSE)) SetFocus(first);
    RethrowKept();
    bool quit = false;
    while (form.ModalResult() == kMrNone && form.Visible() && !quit) Pump(true, quit);
  } catch (...) {
    restore();
    form.SetVisible(false);
    throw;
  }
  restore();
  form.SetVisible(false);
  return form.ModalResult() == kMrNone ? kMrCancel : form.ModalResult();
}

}  // namespace ui::win32
