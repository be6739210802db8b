// WindowPeer: one window per control, the window procedures that map a window back to its
// peer, and the crossing of texts and exceptions at that boundary.
#include "ui/win32/Win32Internal.h"

#include <windows.h>

#include "system/win32/WideText.h"
#include "ui/Form.h"

namespace ui::win32 {

std::wstring Wide(const std::string& gbk) { return sys::win32::ToWide(gbk); }
std::string Narrow(const std::wstring& wide) { return sys::win32::FromWide(wide); }

namespace {

LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  WindowPeer* peer = WindowPeer::FromWindow(window);
  if (!peer) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    peer->Detach();
    return DefWindowProcW(window, message, wParam, lParam);
  }
  intptr_t result = 0;
  try {
    if (peer->Handle(message, wParam, lParam, result)) return result;
  } catch (...) {
    peer->GetBackend().Keep(std::current_exception());
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return WindowPeer::SubclassedMessage(window, message, wParam, lParam);
}

}  // namespace

intptr_t WindowPeer::SubclassedMessage(Hwnd window, unsigned message, uintptr_t wParam,
                                       intptr_t lParam) {
  WindowPeer* peer = WindowPeer::FromWindow(window);
  if (!peer) return DefWindowProcW(window, message, wParam, lParam);
  WNDPROC original = reinterpret_cast<WNDPROC>(peer->originalProc_);
  try {
    if (message == WM_MOUSEMOVE && !peer->tracking_) {
      TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
      peer->tracking_ = TrackMouseEvent(&track) != FALSE;
      peer->control_.MouseEnter();
    } else if (message == WM_MOUSELEAVE) {
      peer->tracking_ = false;
      peer->control_.MouseLeave();
    }
    intptr_t result = 0;
    if (peer->Handle(message, wParam, lParam, result)) return result;
  } catch (...) {
    peer->backend_.Keep(std::current_exception());
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    peer->Detach();
  }
  return CallWindowProcW(original, window, message, wParam, lParam);
}

const wchar_t* RegisterOwnClass(const wchar_t* name) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (GetClassInfoExW(instance, name, &existing)) return name;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = OwnWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
  return name;
}

WindowPeer* WindowPeer::FromWindow(Hwnd window) {
  return window ? reinterpret_cast<WindowPeer*>(GetWindowLongPtrW(window, GWLP_USERDATA)) : nullptr;
}

WindowPeer::~WindowPeer() {
  if (!window_) return;
  HWND window = window_;
  // The window stays, briefly, without its peer: nothing may reach this object any more.
  if (originalProc_) SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  window_ = nullptr;
  DestroyWindow(window);
}

void WindowPeer::Create(const wchar_t* className, uint32_t style, uint32_t exStyle,
                        bool ownClass) {
  HWND parent = ParentWindow();
  if (parent) style |= WS_CHILD | WS_CLIPSIBLINGS;
  HMENU id = parent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(backend_.NextControlId())) : nullptr;
  if (control_.Visible() && parent) style |= WS_VISIBLE;
  if (!control_.Enabled()) style |= WS_DISABLED;
  window_ = CreateWindowExW(exStyle, className, Wide(control_.Caption()).c_str(), style,
                            backend_.Scale(control_.Left()), backend_.Scale(control_.Top()),
                            backend_.Scale(control_.Width()), backend_.Scale(control_.Height()),
                            parent, id, GetModuleHandleW(nullptr), ownClass ? this : nullptr);
  if (!window_) return;
  if (!ownClass) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    originalProc_ = reinterpret_cast<void*>(
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  }
  ApplyFont();
}

Hwnd WindowPeer::ParentWindow() const {
  Control* parent = control_.Parent();
  if (!parent) return nullptr;
  auto* peer = static_cast<WindowPeer*>(parent->GetPeer());
  return peer ? peer->Window() : nullptr;
}

void WindowPeer::ApplyBounds() {
  if (!window_) return;
  SetWindowPos(window_, nullptr, backend_.Scale(control_.Left()), backend_.Scale(control_.Top()),
               backend_.Scale(control_.Width()), backend_.Scale(control_.Height()),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowPeer::ApplyCaption() {
  if (window_) SetWindowTextW(window_, Wide(control_.Caption()).c_str());
}

void WindowPeer::ApplyFont() {
  if (window_) {
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(backend_.FontFor(control_.GetFont())),
                 TRUE);
  }
}

void WindowPeer::Changed(Change what) {
  if (!window_) return;
  switch (what) {
    case Change::Bounds:
      ApplyBounds();
      break;
    case Change::Visible:
      ShowWindow(window_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
      break;
    case Change::Enabled:
      EnableWindow(window_, control_.Enabled());
      break;
    case Change::Caption:
      ApplyCaption();
      break;
    case Change::Font:
      ApplyFont();
      InvalidateRect(window_, nullptr, TRUE);
      break;
    case Change::Parent:
      SetParent(window_, ParentWindow());
      ApplyBounds();
      break;
    case Change::ZOrder:
      SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      break;
    case Change::Focus:
      // A program the install started (a component's setup, a console) took the front and,
      // when it ended, nobody gave it back: without this, keys reach no window of ours.
      SetForegroundWindow(GetAncestor(window_, GA_ROOT));
      SetFocus(window_);
      break;
    default:
      InvalidateRect(window_, nullptr, TRUE);
      break;
  }
}

intptr_t WindowPeer::FillWith(HDC__* dc, uint32_t color) {
  SetTextColor(dc, backend_.ColorRef(control_.GetFont().Color));
  SetBkColor(dc, backend_.ColorRef(color));
  return reinterpret_cast<intptr_t>(backend_.BrushFor(color));
}

intptr_t WindowPeer::CtlColor(HDC__* dc) {
  Control* parent = control_.Parent();
  switch (backdrop_) {
    case Backdrop::OwnColor:
      return FillWith(dc, control_.Color());
    case Backdrop::ParentThrough: {
      auto* peer = parent ? static_cast<WindowPeer*>(parent->GetPeer()) : nullptr;
      if (!peer || !peer->PaintUnder(dc, window_)) break;
      SetTextColor(dc, backend_.ColorRef(control_.GetFont().Color));
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<intptr_t>(GetStockObject(NULL_BRUSH));
    }
    case Backdrop::ParentColor:
      break;
  }
  return FillWith(dc, parent ? parent->Color() : control_.Color());
}

bool WindowPeer::Handle(unsigned, uintptr_t, intptr_t, intptr_t&) { return false; }

}  // namespace ui::win32
