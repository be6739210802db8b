// Shared between the files of the Windows backend; free of <windows.h> (handles are spelled by
// their underlying types, which the .cpp files convert implicitly).
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

struct HWND__;
struct HDC__;
struct HFONT__;
struct HBRUSH__;
struct HINSTANCE__;
struct ITaskbarList3;

namespace ui {

class Picture;
class Timer;

namespace win32 {

using Hwnd = HWND__*;

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
  HFONT__* FontFor(const Font& font);
  HBRUSH__* BrushFor(uint32_t color);
  // A COLORREF for our colour (system colours resolved).
  uint32_t ColorRef(uint32_t color) const;
  uint16_t NextControlId();

  // Exceptions may not cross the system's frames: window procedures keep them here and the
  // message loops rethrow them once DispatchMessage has returned.
  void Keep(std::exception_ptr error);
  void RethrowKept();

  // Timers run on one hidden message window.
  Hwnd TimerWindow() const { return timerWindow_; }
  uintptr_t AddTimer(Timer& timer);
  void RemoveTimer(uintptr_t id);
  void FireTimer(uintptr_t id);

  // Draws a picture (decoded by GDI+ once) into the rectangle, over background: stretched over
  // it, or at its own size scaled with the DPI from its top-left corner, clipped to it.
  // transparent: a bitmap's bottom-left colour shows the background instead.
  void DrawPicture(HDC__* dc, const Picture& picture, int left, int top, int width, int height,
                   bool stretch, bool transparent, uint32_t background);
  // Taskbar progress of the top-level window; total 0 removes it.
  void SetTaskbarProgress(Hwnd window, uint64_t done, uint64_t total);

  HINSTANCE__* Winmm();

 private:
  void Pump(bool wait, bool& quit);
  Form* TopModal() const { return modalStack_.empty() ? nullptr : modalStack_.back(); }

  int dpi_;
  bool comInitialised_ = false;
  HINSTANCE__* comctl32_ = nullptr;
  HINSTANCE__* gdiplus_ = nullptr;
  uintptr_t gdiplusToken_ = 0;
  bool gdiplusTried_ = false;
  HINSTANCE__* winmm_ = nullptr;
  bool winmmTried_ = false;
  ITaskbarList3* taskbar_ = nullptr;
  bool taskbarTried_ = false;
  Hwnd timerWindow_ = nullptr;
  std::map<uintptr_t, Timer*> timers_;
  uintptr_t nextTimerId_ = 1;
  uint16_t nextControlId_ = 100;
  std::map<std::tuple<std::string, int, int, bool>, HFONT__*> fonts_;
  std::map<uint32_t, HBRUSH__*> brushes_;
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
  // WM_CTLCOLOR* for this control: sets up the device context, returns the brush (or 0 to let
  // the system choose).
  virtual intptr_t CtlColor(HDC__* dc);
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
  // The background colour a transparent-looking control takes: its parent's.
  uint32_t ParentColor() const;
  // WM_CTLCOLOR* of a control whose parent shows through it: the parent paints under it, and
  // the control draws its text and marks over that.
  intptr_t ShowParentThrough(HDC__* dc);

  Win32Backend& backend_;
  Control& control_;
  Hwnd window_ = nullptr;

 private:
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

std::unique_ptr<Peer> MakeFormPeer(Win32Backend& backend, Form& form);
std::unique_ptr<Peer> MakePanelPeer(Win32Backend& backend, Control& panel);
std::unique_ptr<Peer> MakeControlPeer(Win32Backend& backend, Control& control);
std::unique_ptr<Peer> MakeMediaPeer(Win32Backend& backend, Control& player);
// The check-list box, the document view and the folder tree.
std::unique_ptr<Peer> MakeChoicePeer(Win32Backend& backend, Control& control);

}  // namespace win32
}  // namespace ui
