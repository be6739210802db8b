// The Windows backend: the one place that turns a control kind into its window, and the
// process-wide set-up (DPI, COM, common controls) the windows need.
#include "ui/win32/Win32Backend.h"

#include <utility>

#include <windows.h>
#include <commctrl.h>

#include "system/win32/DllSearch.h"
#include "ui/win32/Win32Internal.h"

namespace ui {

namespace win32 {

namespace {

int ScreenDpi() {
  ScopedGetDc screen(nullptr);
  int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
  return dpi > 0 ? dpi : 96;
}

// Common controls 6 (the manifest's side-by-side assembly) for the progress bar, the list and
// tree views and the themed look; loaded from the system folder only.
void InitCommonControls() {
  HMODULE comctl32 = sys::win32::LoadSystemLibrary(L"comctl32.dll");
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto init = comctl32 ? reinterpret_cast<InitFn>(reinterpret_cast<void*>(
                             GetProcAddress(comctl32, "InitCommonControlsEx")))
                       : nullptr;
  if (!init) return;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES |
                                                      ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
  init(&controls);
}

}  // namespace

Win32Backend::Win32Backend(int dpi)
    : dpi_(dpi > 0 ? dpi : ScreenDpi()),
      gdi_(dpi_),
      pictures_(dpi_),
      timers_([this](std::exception_ptr error) { Keep(std::move(error)); }) {
  InitCommonControls();
}

Win32Backend::~Win32Backend() = default;

// Every kind is listed, with no default: a new kind fails to compile here (-Wswitch is an error
// in our builds) until it has a peer, instead of silently getting no window.
std::unique_ptr<Peer> Win32Backend::CreatePeer(Control& control) {
  switch (control.Kind()) {
    case ControlKind::Form:
      return MakeFormPeer(*this, control);
    case ControlKind::Panel:
      return MakePanelPeer(*this, control);
    case ControlKind::Label:
      return MakeLabelPeer(*this, control);
    case ControlKind::Button:
      return MakeButtonPeer(*this, control);
    case ControlKind::CheckBox:
      return MakeCheckBoxPeer(*this, control);
    case ControlKind::Edit:
      return MakeEditPeer(*this, control);
    case ControlKind::Memo:
      return MakeMemoPeer(*this, control);
    case ControlKind::ProgressBar:
      return MakeProgressBarPeer(*this, control);
    case ControlKind::Gauge:
      return MakeGaugePeer(*this, control);
    case ControlKind::Bevel:
    case ControlKind::Image:
      return MakeDrawnPeer(*this, control);
    case ControlKind::Timer:
      return MakeTimerPeer(*this, control);
    case ControlKind::MediaPlayer:
      return MakeMediaPlayerPeer(*this, control);
    case ControlKind::CheckListBox:
      return MakeCheckListPeer(*this, control);
    case ControlKind::BrowserPane:
      return MakeDocumentPeer(*this, control);
    case ControlKind::FolderTree:
      return MakeFolderTreePeer(*this, control);
  }
  return nullptr;  // not a ControlKind at all
}

int Win32Backend::Scale(int value) const { return MulDiv(value, dpi_, 96); }

uint16_t Win32Backend::NextControlId() {
  // Ids below 100 include IDOK and IDCANCEL, which the dialog manager sends for Enter and Esc.
  if (nextControlId_ < 100) nextControlId_ = 100;
  return nextControlId_++;
}

void Win32Backend::Keep(std::exception_ptr error) {
  if (!kept_) kept_ = error;
}

void Win32Backend::RethrowKept() {
  if (kept_) std::rethrow_exception(std::exchange(kept_, nullptr));
}

HINSTANCE__* Win32Backend::Winmm() {
  if (!winmmTried_) {
    winmmTried_ = true;
    winmm_ = sys::win32::LoadSystemLibrary(L"winmm.dll");
  }
  return winmm_;
}

}  // namespace win32

std::unique_ptr<Backend> MakeWin32Backend(int dpi) {
  return std::make_unique<win32::Win32Backend>(dpi);
}

void* WindowOf(const Control& control) {
  auto* peer = dynamic_cast<win32::WindowPeer*>(control.GetPeer());
  return peer ? peer->Window() : nullptr;
}

}  // namespace ui
