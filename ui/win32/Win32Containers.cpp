// Forms and panels: windows of our own classes that hold other controls. They hand the
// notifications of their children back to the children's peers, paint their background, bevel
// and their window-less images and lines, also under the labels and check boxes that show them
// through, and a form runs its OnPaint and turns its close box into the portable close.
#include "ui/win32/Win32Internal.h"

#include <windows.h>

#include "ui/Bevel.h"
#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Panel.h"
#include "ui/win32/ScopedGdi.h"

namespace ui::win32 {

namespace {

class Win32Canvas : public Canvas {
 public:
  Win32Canvas(Win32Backend& backend, HDC dc, const RECT& client, uint32_t background)
      : backend_(backend), dc_(dc), client_(client), background_(background) {}
  void DrawPictureStretched(const Picture& picture) override {
    backend_.Pictures().Draw(dc_, picture, 0, 0, client_.right - client_.left,
                         client_.bottom - client_.top, true, false, background_);
  }

 private:
  Win32Backend& backend_;
  HDC dc_;
  RECT client_;
  uint32_t background_;
};

class ContainerPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;

  bool Handle(unsigned message, uintptr_t wParam, intptr_t lParam, intptr_t& result) override {
    switch (message) {
      case WM_COMMAND:
        // Without a control: the dialog manager's Enter (IDOK) or Esc (IDCANCEL), which do
        // nothing on our forms.
        if (lParam) {
          if (WindowPeer* child = FromWindow(reinterpret_cast<HWND>(lParam))) {
            child->Command(HIWORD(wParam));
          }
        }
        result = 0;
        return true;
      case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        WindowPeer* child = header ? FromWindow(header->hwndFrom) : nullptr;
        return child && child->NotifyMessage(header, result);
      }
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLOREDIT:
        if (WindowPeer* child = FromWindow(reinterpret_cast<HWND>(lParam))) {
          result = child->CtlColor(reinterpret_cast<HDC>(wParam));
          return result != 0;
        }
        return false;
      case WM_SETCURSOR: {
        WindowPeer* child = FromWindow(reinterpret_cast<HWND>(wParam));
        if (child && child->GetControl().GetCursor() == Cursor::HandPoint &&
            LOWORD(lParam) == HTCLIENT) {
          SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
          result = TRUE;
          return true;
        }
        return false;
      }
      case WM_ERASEBKGND:
        result = 1;
        return true;
      case WM_PAINT:
        Paint();
        result = 0;
        return true;
      default:
        return false;
    }
  }

  // Paints into the child's device context what this container shows under the child.
  bool PaintUnder(HDC__* dc, Hwnd child) override {
    POINT origin{0, 0};
    MapWindowPoints(child, window_, &origin, 1);
    POINT old;
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, &old);
    RECT client;
    GetClientRect(window_, &client);
    PaintBackground(dc, client);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
    return true;
  }

 protected:
  virtual void PaintExtras(HDC dc, const RECT& client) {
    (void)dc;
    (void)client;
  }

 private:
  void Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    PaintBackground(dc, client);
    PaintExtras(dc, client);
    EndPaint(window_, &paint);
  }

  // The colour, then the window-less children in their order: pictures and lines.
  void PaintBackground(HDC dc, const RECT& client) {
    FillRect(dc, &client, backend_.BrushFor(control_.Color()));
    for (Control* child : control_.Children()) {
      if (!child->Visible()) continue;
      RECT place{backend_.Scale(child->Left()), backend_.Scale(child->Top()), 0, 0};
      place.right = place.left + backend_.Scale(child->Width());
      place.bottom = place.top + backend_.Scale(child->Height());
      if (child->Kind() == ControlKind::Image) {
        auto* image = static_cast<Image*>(child);
        if (!image->HasPicture()) continue;
        backend_.Pictures().Draw(dc, image->GetPicture(), place.left, place.top,
                             place.right - place.left, place.bottom - place.top, image->Stretch(),
                             image->Transparent(), control_.Color());
      } else if (child->Kind() == ControlKind::Bevel) {
        PaintBevel(dc, static_cast<Bevel&>(*child), place);
      }
    }
  }

  // A lowered bevel: a top line is the shadow's row with the highlight's row below it; a box
  // is an etched frame.
  void PaintBevel(HDC dc, const Bevel& bevel, RECT place) {
    if (bevel.GetShape() == Shape::Box) {
      DrawEdge(dc, &place, EDGE_ETCHED, BF_RECT);
      return;
    }
    RECT shadow{place.left, place.top, place.right, place.top + 1};
    FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
    RECT highlight{place.left, place.top + 1, place.right, place.top + 2};
    FillRect(dc, &highlight, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  }
};

class PanelPeer : public ContainerPeer {
 public:
  PanelPeer(Win32Backend& backend, Control& panel) : ContainerPeer(backend, panel) {
    Create(RegisterOwnClass(L"SetupPanel"), WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, true);
  }

 protected:
  void PaintExtras(HDC dc, const RECT& client) override {
    auto& panel = static_cast<Panel&>(control_);
    RECT edge = client;
    if (panel.GetBevelOuter() == BevelOuter::Lowered) DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    if (panel.GetBevelOuter() == BevelOuter::Raised) DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
    if (panel.Caption().empty()) return;
    ScopedSelect font(dc, backend_.FontFor(panel.GetFont()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, backend_.ColorRef(panel.GetFont().Color));
    std::wstring text = Wide(panel.Caption());
    RECT area = client;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
};

class FormPeer : public ContainerPeer {
 public:
  FormPeer(Win32Backend& backend, Form& form) : ContainerPeer(backend, form), form_(form) {
    DWORD exStyle = 0;
    DWORD style = Style(exStyle);
    Create(RegisterOwnClass(L"SetupForm"), style, exStyle, true);
    ApplyBounds();
  }

  void Changed(Change what) override {
    if (!window_) return;
    switch (what) {
      case Change::Visible:
        if (form_.Visible() && !Embedded()) PlaceOnScreen();
        ShowWindow(window_, form_.Visible() ? (Embedded() ? SW_SHOWNA : SW_SHOW) : SW_HIDE);
        if (form_.Visible()) UpdateWindow(window_);
        break;
      case Change::Parent:
      case Change::Style:
        ApplyStyle();
        break;
      case Change::Paint:
        InvalidateRect(window_, nullptr, TRUE);
        break;
      default:
        WindowPeer::Changed(what);
        break;
    }
  }

  bool Handle(unsigned message, uintptr_t wParam, intptr_t lParam, intptr_t& result) override {
    if (message == WM_CLOSE) {
      form_.CloseByPerson();
      result = 0;
      return true;
    }
    if (message == WM_PAINT && form_.OnPaint) {
      // The form's own drawing goes over the background and images the container paints.
      ContainerPeer::Handle(message, wParam, lParam, result);
      ScopedGetDc dc(window_);
      RECT client;
      GetClientRect(window_, &client);
      Win32Canvas canvas(backend_, dc.Get(), client, form_.Color());
      Dispatch([&] { form_.OnPaint(canvas); });
      return true;
    }
    return ContainerPeer::Handle(message, wParam, lParam, result);
  }

 protected:
  void ApplyBounds() override {
    if (Embedded()) {
      WindowPeer::ApplyBounds();
      return;
    }
    RECT outer = OuterRect();
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

 private:
  bool Embedded() const { return form_.Parent() != nullptr; }

  DWORD Style(DWORD& exStyle) const {
    exStyle = WS_EX_CONTROLPARENT;
    if (Embedded()) return WS_CHILD | WS_CLIPSIBLINGS;
    switch (form_.GetBorderStyle()) {
      case BorderStyle::None:
        return WS_POPUP;
      case BorderStyle::Single:
        return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
      case BorderStyle::Dialog:
        exStyle |= WS_EX_DLGMODALFRAME;
        return WS_POPUP | WS_CAPTION | WS_SYSMENU;
      case BorderStyle::Sizeable:
        return WS_OVERLAPPEDWINDOW;
    }
    return WS_OVERLAPPEDWINDOW;
  }

  RECT OuterRect() const {
    DWORD exStyle = 0;
    DWORD style = Style(exStyle);
    RECT rect{0, 0, backend_.Scale(form_.Width()), backend_.Scale(form_.Height())};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return rect;
  }

  void ApplyStyle() {
    DWORD exStyle = 0;
    DWORD style = Style(exStyle);
    if (IsWindowVisible(window_)) style |= WS_VISIBLE;
    if (!form_.Enabled()) style |= WS_DISABLED;
    HWND parent = ParentWindow();
    // A child window first loses its parent, then its style, so it is never a child of nothing.
    if (!parent) SetParent(window_, nullptr);
    SetWindowLongPtrW(window_, GWL_STYLE, static_cast<LONG_PTR>(style));
    SetWindowLongPtrW(window_, GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
    if (parent) SetParent(window_, parent);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyBounds();
  }

  void PlaceOnScreen() {
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT outer = OuterRect();
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    RECT around = work;
    int x = backend_.Scale(form_.Left());
    int y = backend_.Scale(form_.Top());
    switch (form_.GetPosition()) {
      case Position::Designed:
        break;
      case Position::OwnerFormCenter:
        if (HWND owner = GetWindow(window_, GW_OWNER)) GetWindowRect(owner, &around);
        [[fallthrough]];
      case Position::ScreenCenter:
        x = around.left + (around.right - around.left - width) / 2;
        y = around.top + (around.bottom - around.top - height) / 2;
        break;
      case Position::WorkArea:
        x = work.left;
        y = work.top;
        width = work.right - work.left;
        height = work.bottom - work.top;
        break;
    }
    SetWindowPos(window_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  Form& form_;
};

}  // namespace

std::unique_ptr<Peer> MakeFormPeer(Win32Backend& backend, Control& form) {
  return std::make_unique<FormPeer>(backend, static_cast<Form&>(form));
}

std::unique_ptr<Peer> MakePanelPeer(Win32Backend& backend, Control& panel) {
  return std::make_unique<PanelPeer>(backend, panel);
}

}  // namespace ui::win32
