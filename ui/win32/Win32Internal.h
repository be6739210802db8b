// Shared between the files of the Windows backend: the backend class, the WindowPeer base of
// every control with a window, and one peer maker per control kind. Free of <windows.h>
// (handles are spelled by their underlying types, which the .cpp files convert implicitly).
// The files, one concern each: Win32Backend.cpp (the peer factory, set-up), Win32ModalLoop.cpp,
// Win32Window.cpp (WindowPeer, window procedures), GdiCache, TimerWindow, PictureDrawer,
// TaskbarProgress, ScopedGdi (handle owners), and the peers by group: Win32Controls.cpp,
// Win32Bars.cpp, Win32Containers.cpp, Win32ChoiceControls.cpp, Win32Media.cpp.
#pragma once

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "ui/Backend.h"
#include "ui/Control.h"
#include "ui/Peer.h"
#include "ui/win32/GdiCache.h"
#include "ui/win32/PictureDrawer.h"
#include "ui/win32/TaskbarProgress.h"
#include "ui/win32/TimerWindow.h"

struct HWND__;
struct HDC__;
struct HFONT__;
struct HBRUSH__;
struct HINSTANCE__;

namespace ui {

namespace win32 {

using Hwnd = HWND__*;

// The backend itself: the peer factory and the modal loops (Win32ModalLoop.cpp); fonts and
// brushes, timers, pictures and the taskbar are the small objects it holds.
class Win32Backend : public Backend {
 public:
  explicit Win32Backend(int dpi);
  ~Win32Backend() override;
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

  std::unique_ptr<Peer> CreatePeer(Control& control) override;
  int RunModal(Form& form) override;
  void ProcessMessages() override;
  int Dpi() const override { return dpi_; }

  int Scale(int value) const;
  HFONT__* FontFor(const Font& font) { return gdi_.FontFor(font); }
  HBRUSH__* BrushFor(uint32_t color) { return gdi_.BrushFor(color); }
  // A COLORREF for our colour (system colours resolved).
  uint32_t ColorRef(uint32_t color) const { return GdiCache::ColorRef(color); }
  uint16_t NextControlId();

  // Exceptions may not cross the system's frames: window procedures keep them here and the
  // message loops rethrow them once DispatchMessage has returned.
  void Keep(std::exception_ptr error);
  void RethrowKept();

  TimerWindow& Timers() { return timers_; }
  PictureDrawer& Pictures() { return pictures_; }
  TaskbarProgress& Taskbar() { return taskbar_; }
  // winmm.dll from the system folder, loaded on first use (null where it is missing).
  HINSTANCE__* Winmm();

 private:
  void Pump(bool wait, bool& quit);
  Form* TopModal() const { return modalStack_.empty() ? nullptr : modalStack_.back(); }

  int dpi_;
  sys::win32::ComApartment com_;
  GdiCache gdi_;
  PictureDrawer pictures_;
  TaskbarProgress taskbar_;
  TimerWindow timers_;
  HINSTANCE__* winmm_ = nullptr;
  bool winmmTried_ = false;
  uint16_t nextControlId_ = 100;
  std::vector<Form*> modalStack_;
  std::exception_ptr kept_;
};

// The peer of a control that has a window of its own.
class WindowPeer : public Peer {
 public:
  WindowPeer(Win32Backend& backend, Control& control) : backend_(backend), control_(control) {}
  ~WindowPeer() override;
  void Changed(Change what) override;

  Hwnd Window() const { return window_; }
  Control& GetControl() { return control_; }
  Win32Backend& GetBackend() { return backend_; }
  static WindowPeer* FromWindow(Hwnd window);

  // A WM_COMMAND notification this control sent its parent.
  virtual void Command(unsigned code) { (void)code; }
  // A WM_NOTIFY this control sent its parent (header: its NMHDR); true when handled.
  virtual bool NotifyMessage(void* header, intptr_t& result) {
    (void)header;
    (void)result;
    return false;
  }
  // WM_CTLCOLOR* for this control, by its backdrop_: sets up the device context, returns the
  // brush.
  intptr_t CtlColor(HDC__* dc);
  // Containers: paints into a child's device context what the container shows under that
  // child (colour, pictures, lines), so a label or check box over a picture shows the picture.
  virtual bool PaintUnder(HDC__* dc, Hwnd child) {
    (void)dc;
    (void)child;
    return false;
  }
  // Messages of the window itself; true when handled (result set).
  virtual bool Handle(unsigned message, uintptr_t wParam, intptr_t lParam, intptr_t& result);
  void Detach() { window_ = nullptr; }

 protected:
  // Creates the window as a child of the parent's window (or top-level without one) and
  // subclasses standard controls so the pointer's entering and leaving are seen.
  // ownClass: a class of RegisterOwnClass, whose procedure already knows its peer.
  void Create(const wchar_t* className, uint32_t style, uint32_t exStyle, bool ownClass = false);
  Hwnd ParentWindow() const;
  virtual void ApplyBounds();
  void ApplyCaption();
  void ApplyFont();
  // What a standard control shows behind its text (WM_CTLCOLOR*).
  enum class Backdrop {
    ParentColor,    // its parent's colour
    OwnColor,       // its own Color(): edits, memos, documents
    ParentThrough,  // what its parent paints under it (pictures too): labels, check boxes
  };

  Win32Backend& backend_;
  Control& control_;
  Hwnd window_ = nullptr;
  Backdrop backdrop_ = Backdrop::ParentColor;

 private:
  intptr_t FillWith(HDC__* dc, uint32_t color);

  void* originalProc_ = nullptr;
  bool tracking_ = false;

 public:
  // The body of the procedure that subclasses standard controls.
  static intptr_t SubclassedMessage(Hwnd window, unsigned message, uintptr_t wParam,
                                    intptr_t lParam);
};

// Window classes of our own (forms, panels, the gauge, the timer window).
const wchar_t* RegisterOwnClass(const wchar_t* name);
// GBK <-> UTF-16 through code page 936.
std::wstring Wide(const std::string& gbk);
std::string Narrow(const std::wstring& wide);

// One maker per control kind, named after it; Win32Backend::CreatePeer picks one per kind.
// Win32Containers.cpp
std::unique_ptr<Peer> MakeFormPeer(Win32Backend& backend, Control& form);
std::unique_ptr<Peer> MakePanelPeer(Win32Backend& backend, Control& panel);
// Win32Controls.cpp
std::unique_ptr<Peer> MakeLabelPeer(Win32Backend& backend, Control& label);
std::unique_ptr<Peer> MakeButtonPeer(Win32Backend& backend, Control& button);
std::unique_ptr<Peer> MakeCheckBoxPeer(Win32Backend& backend, Control& box);
std::unique_ptr<Peer> MakeEditPeer(Win32Backend& backend, Control& edit);
std::unique_ptr<Peer> MakeMemoPeer(Win32Backend& backend, Control& memo);
std::unique_ptr<Peer> MakeTimerPeer(Win32Backend& backend, Control& timer);
// Bevels and images: drawn by their parent, no window of their own.
std::unique_ptr<Peer> MakeDrawnPeer(Win32Backend& backend, Control& control);
// Win32Bars.cpp
std::unique_ptr<Peer> MakeProgressBarPeer(Win32Backend& backend, Control& bar);
std::unique_ptr<Peer> MakeGaugePeer(Win32Backend& backend, Control& gauge);
// Win32Media.cpp
std::unique_ptr<Peer> MakeMediaPlayerPeer(Win32Backend& backend, Control& player);
// Win32ChoiceControls.cpp
std::unique_ptr<Peer> MakeCheckListPeer(Win32Backend& backend, Control& box);
std::unique_ptr<Peer> MakeDocumentPeer(Win32Backend& backend, Control& pane);
std::unique_ptr<Peer> MakeFolderTreePeer(Win32Backend& backend, Control& tree);

}  // namespace win32
}  // namespace ui
