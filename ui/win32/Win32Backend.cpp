// The Windows backend: modal loops in the manner of VCL's ShowModal (other windows of the
// thread disabled, a message loop until a result is set), shared resources (fonts, brushes,
// timers), GDI+ pictures and the taskbar button's progress.
#include "ui/win32/Win32Backend.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <shobjidl.h>

#include "system/win32/DllSearch.h"
#include "ui/Form.h"
#include "ui/Picture.h"
#include "ui/Timer.h"
#include "ui/win32/Win32Internal.h"

namespace ui {

namespace win32 {

namespace {

// The flat GDI+ API, declared here because it is resolved at run time.
struct GdiplusStartupInput {
  UINT32 GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};
using GdiplusStartupFn = int(WINAPI*)(ULONG_PTR*, const GdiplusStartupInput*, void*);
using GdiplusShutdownFn = void(WINAPI*)(ULONG_PTR);
using CreateBitmapFromStreamFn = int(WINAPI*)(IStream*, void**);
using CreateHbitmapFromBitmapFn = int(WINAPI*)(void*, HBITMAP*, DWORD);
using DisposeImageFn = int(WINAPI*)(void*);

template <class F>
F Resolve(HMODULE module, const char* name) {
  return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

// A picture as GDI+ decoded it, kept as a GDI bitmap composed over its background.
struct DecodedBitmap : Picture::Decoded {
  ~DecodedBitmap() override {
    if (bitmap) DeleteObject(bitmap);
  }
  HBITMAP bitmap = nullptr;
  int width = 0;
  int height = 0;
  uint32_t background = 0;
};

LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    auto* backend = reinterpret_cast<Win32Backend*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (backend) {
      try {
        backend->FireTimer(static_cast<uintptr_t>(wParam));
      } catch (...) {
        backend->Keep(std::current_exception());
      }
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

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

Win32Backend::Win32Backend(int dpi) {
  if (dpi <= 0) {
    HDC screen = GetDC(nullptr);
    dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
  }
  dpi_ = dpi > 0 ? dpi : 96;
  comInitialised_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  // Common controls 6 (the manifest's side-by-side assembly) for the progress bar and the
  // themed look; loaded from the system folder only.
  comctl32_ = sys::win32::LoadSystemLibrary(L"comctl32.dll");
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  if (auto init = Resolve<InitFn>(comctl32_, "InitCommonControlsEx")) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES |
                                                        ICC_LISTVIEW_CLASSES |
                                                        ICC_TREEVIEW_CLASSES};
    init(&controls);
  }
  WNDCLASSEXW timerClass{};
  timerClass.cbSize = sizeof(timerClass);
  timerClass.lpfnWndProc = TimerWindowProc;
  timerClass.hInstance = GetModuleHandleW(nullptr);
  timerClass.lpszClassName = L"SetupTimers";
  RegisterClassExW(&timerClass);
  timerWindow_ = CreateWindowExW(0, L"SetupTimers", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
  if (timerWindow_) SetWindowLongPtrW(timerWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Backend::~Win32Backend() {
  if (timerWindow_) DestroyWindow(timerWindow_);
  for (auto& entry : fonts_) DeleteObject(entry.second);
  for (auto& entry : brushes_) DeleteObject(entry.second);
  if (taskbar_) taskbar_->Release();
  if (gdiplusToken_) {
    if (auto shutdown = Resolve<GdiplusShutdownFn>(gdiplus_, "GdiplusShutdown")) shutdown(gdiplusToken_);
  }
  if (comInitialised_) CoUninitialize();
}

std::unique_ptr<Peer> Win32Backend::CreatePeer(Control& control) {
  switch (control.Kind()) {
    case ControlKind::Form:
      return MakeFormPeer(*this, static_cast<Form&>(control));
    case ControlKind::Panel:
      return MakePanelPeer(*this, control);
    case ControlKind::MediaPlayer:
      return MakeMediaPeer(*this, control);
    case ControlKind::CheckListBox:
    case ControlKind::BrowserPane:
    case ControlKind::FolderTree:
      return MakeChoicePeer(*this, control);
    // Every kind is listed, with no default: a new kind fails to compile here until it has a
    // window, instead of silently getting none.
    case ControlKind::Bevel:
    case ControlKind::Label:
    case ControlKind::Button:
    case ControlKind::Edit:
    case ControlKind::CheckBox:
    case ControlKind::Memo:
    case ControlKind::ProgressBar:
    case ControlKind::Gauge:
    case ControlKind::Image:
    case ControlKind::Timer:
      return MakeControlPeer(*this, control);
  }
  return nullptr;  // not a ControlKind at all
}

int Win32Backend::Scale(int value) const { return MulDiv(value, dpi_, 96); }

HFONT__* Win32Backend::FontFor(const Font& font) {
  int height = font.Height > 0 ? MulDiv(font.Height, dpi_, 96) : MulDiv(font.Size, dpi_, 72);
  auto key = std::make_tuple(font.Name, height, font.Underline ? 1 : 0, font.Bold);
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second;
  LOGFONTW description{};
  description.lfHeight = -height;
  description.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  description.lfUnderline = font.Underline ? TRUE : FALSE;
  description.lfCharSet = GB2312_CHARSET;
  description.lfQuality = DEFAULT_QUALITY;
  std::wstring face = Wide(font.Name);
  lstrcpynW(description.lfFaceName, face.c_str(), LF_FACESIZE);
  HFONT handle = CreateFontIndirectW(&description);
  fonts_[key] = handle;
  return handle;
}

uint32_t Win32Backend::ColorRef(uint32_t color) const {
  return IsSystemColor(color) ? GetSysColor(static_cast<int>(color & 0xFF)) : color;
}

HBRUSH__* Win32Backend::BrushFor(uint32_t color) {
  if (IsSystemColor(color)) return GetSysColorBrush(static_cast<int>(color & 0xFF));
  auto found = brushes_.find(color);
  if (found != brushes_.end()) return found->second;
  HBRUSH brush = CreateSolidBrush(color);
  brushes_[color] = brush;
  return brush;
}

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

uintptr_t Win32Backend::AddTimer(Timer& timer) {
  uintptr_t id = nextTimerId_++;
  timers_[id] = &timer;
  return id;
}

void Win32Backend::RemoveTimer(uintptr_t id) { timers_.erase(id); }

void Win32Backend::FireTimer(uintptr_t id) {
  auto found = timers_.find(id);
  if (found != timers_.end()) found->second->Fire();
}

HINSTANCE__* Win32Backend::Winmm() {
  if (!winmmTried_) {
    winmmTried_ = true;
    winmm_ = sys::win32::LoadSystemLibrary(L"winmm.dll");
  }
  return winmm_;
}

void Win32Backend::DrawPicture(HDC__* dc, const Picture& picture, int left, int top, int width,
                               int height, bool stretch, uint32_t background) {
  if (picture.Empty()) return;
  auto* decoded = static_cast<DecodedBitmap*>(picture.GetDecoded());
  if (!decoded || decoded->background != background) {
    if (!gdiplusTried_) {
      gdiplusTried_ = true;
      gdiplus_ = sys::win32::LoadSystemLibrary(L"gdiplus.dll");
      GdiplusStartupInput input;
      auto startup = Resolve<GdiplusStartupFn>(gdiplus_, "GdiplusStartup");
      ULONG_PTR token = 0;
      if (startup && startup(&token, &input, nullptr) == 0) gdiplusToken_ = token;
    }
    auto fromStream = Resolve<CreateBitmapFromStreamFn>(gdiplus_, "GdipCreateBitmapFromStream");
    auto toHbitmap = Resolve<CreateHbitmapFromBitmapFn>(gdiplus_, "GdipCreateHBITMAPFromBitmap");
    auto dispose = Resolve<DisposeImageFn>(gdiplus_, "GdipDisposeImage");
    if (!gdiplusToken_ || !fromStream || !toHbitmap || !dispose) return;
    const std::string& bytes = picture.Bytes();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory) return;
    void* target = GlobalLock(memory);
    if (!target) {
      GlobalFree(memory);
      return;
    }
    memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
      GlobalFree(memory);
      return;
    }
    void* bitmap = nullptr;
    int status = fromStream(stream, &bitmap);
    stream->Release();
    if (status != 0 || !bitmap) return;
    auto fresh = std::make_unique<DecodedBitmap>();
    COLORREF rgb = ColorRef(background);
    DWORD argb = 0xFF000000u | (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb);
    toHbitmap(bitmap, &fresh->bitmap, argb);
    dispose(bitmap);
    if (!fresh->bitmap) return;
    BITMAP info{};
    GetObjectW(fresh->bitmap, sizeof(info), &info);
    fresh->width = info.bmWidth;
    fresh->height = info.bmHeight;
    fresh->background = background;
    decoded = fresh.get();
    picture.SetDecoded(std::move(fresh));
  }
  HDC memoryDc = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memoryDc, decoded->bitmap);
  if (stretch) {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, left, top, width, height, memoryDc, 0, 0, decoded->width, decoded->height,
               SRCCOPY);
  } else {
    BitBlt(dc, left, top, std::min(width, Scale(decoded->width)),
           std::min(height, Scale(decoded->height)), memoryDc, 0, 0, SRCCOPY);
  }
  SelectObject(memoryDc, old);
  DeleteDC(memoryDc);
}

void Win32Backend::SetTaskbarProgress(Hwnd window, uint64_t done, uint64_t total) {
  if (!window) return;
  if (!taskbarTried_) {
    taskbarTried_ = true;
    ITaskbarList3* taskbar = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList3, reinterpret_cast<void**>(&taskbar)))) {
      if (SUCCEEDED(taskbar->HrInit())) {
        taskbar_ = taskbar;
      } else {
        taskbar->Release();
      }
    }
  }
  if (!taskbar_) return;
  if (total == 0) {
    taskbar_->SetProgressState(window, TBPF_NOPROGRESS);
  } else {
    taskbar_->SetProgressValue(window, done, total);
  }
}

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
  if (!peer || !peer->Window()) throw std::runtime_error(form.ClassName() + ": no window");
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

}  // namespace win32

std::unique_ptr<Backend> MakeWin32Backend(int dpi) {
  return std::make_unique<win32::Win32Backend>(dpi);
}

void* WindowOf(const Control& control) {
  auto* peer = dynamic_cast<win32::WindowPeer*>(control.GetPeer());
  return peer ? peer->Window() : nullptr;
}

}  // namespace ui
