// The peers of the standard controls. What a person does comes back through the portable
// paths: BN_CLICKED and STN_CLICKED call Click(), EN_CHANGE calls the typing path.
#include "ui/win32/Win32Internal.h"

#include <algorithm>

#include <windows.h>
#include <commctrl.h>

#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Gauge.h"
#include "ui/Label.h"
#include "ui/Memo.h"
#include "ui/ProgressBar.h"
#include "ui/Timer.h"

namespace ui::win32 {

namespace {

std::wstring WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(std::max(0, length)) + 1, L'\0');
  int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(0, copied)));
  return text;
}

class LabelPeer : public WindowPeer {
 public:
  LabelPeer(Win32Backend& backend, Label& label) : WindowPeer(backend, label), label_(label) {
    Create(L"STATIC", Style(), 0);
    ApplyBounds();
  }

  void Changed(Change what) override {
    if (!window_) return;
    if (what == Change::Style) {
      SetWindowLongPtrW(window_, GWL_STYLE,
                        static_cast<LONG_PTR>(Style() | WS_CHILD | WS_CLIPSIBLINGS |
                                              (label_.Visible() ? WS_VISIBLE : 0)));
    }
    WindowPeer::Changed(what);
    if (what == Change::Caption || what == Change::Font || what == Change::Style) {
      ApplyBounds();
      // A transparent label does not erase what it drew before: its parent paints under it.
      if (label_.Transparent()) RedrawParentUnder();
    }
  }

  void Command(unsigned code) override {
    if (code == STN_CLICKED) label_.Click();
  }

  // Every label shows what lies under it: pictures of a page are never covered by a box of
  // the page's colour, whatever the label's own setting.
  intptr_t CtlColor(HDC__* dc) override { return ShowParentThrough(dc); }

 protected:
  // An auto-size label takes the size its text needs in the real font, so nothing is clipped
  // whatever font the system substitutes.
  void ApplyBounds() override {
    if (!label_.AutoSize()) {
      WindowPeer::ApplyBounds();
      return;
    }
    std::wstring text = Wide(label_.Caption());
    HDC dc = GetDC(window_);
    HGDIOBJ old = SelectObject(dc, backend_.FontFor(label_.GetFont()));
    RECT rect{0, 0, backend_.Scale(label_.Width()), 0};
    UINT format = DT_CALCRECT | (label_.WordWrap() ? DT_WORDBREAK : 0);
    DrawTextW(dc, text.empty() ? L" " : text.c_str(), text.empty() ? 1 : static_cast<int>(text.size()),
              &rect, format);
    SelectObject(dc, old);
    ReleaseDC(window_, dc);
    int width = label_.WordWrap() ? backend_.Scale(label_.Width()) : rect.right;
    SetWindowPos(window_, nullptr, backend_.Scale(label_.Left()), backend_.Scale(label_.Top()),
                 width, rect.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  }

 private:
  DWORD Style() const {
    return SS_NOTIFY | (label_.WordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP);
  }

  void RedrawParentUnder() {
    RECT rect;
    GetWindowRect(window_, &rect);
    HWND parent = GetParent(window_);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }

  Label& label_;
};

class ButtonPeer : public WindowPeer {
 public:
  ButtonPeer(Win32Backend& backend, Control& button) : WindowPeer(backend, button) {
    Create(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0);
  }
  void Command(unsigned code) override {
    if (code == BN_CLICKED) control_.Click();
  }
};

// BS_CHECKBOX rather than the automatic kind: the portable Click() toggles the state, and the
// window shows what the control holds.
class CheckBoxPeer : public WindowPeer {
 public:
  CheckBoxPeer(Win32Backend& backend, CheckBox& box) : WindowPeer(backend, box), box_(box) {
    Create(L"BUTTON", BS_CHECKBOX | WS_TABSTOP, 0);
    ApplyCheck();
  }
  void Changed(Change what) override {
    if (what == Change::Checked) {
      ApplyCheck();
      return;
    }
    WindowPeer::Changed(what);
  }
  void Command(unsigned code) override {
    if (code == BN_CLICKED) box_.Click();
  }
  intptr_t CtlColor(HDC__* dc) override { return ShowParentThrough(dc); }

 private:
  void ApplyCheck() {
    if (window_) SendMessageW(window_, BM_SETCHECK, box_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  CheckBox& box_;
};

// Edits and memos: text set by code must not come back as typing.
class TextPeer : public WindowPeer {
 public:
  using WindowPeer::WindowPeer;

 protected:
  void SetWindowTextQuietly(const std::wstring& text) {
    quiet_ = true;
    SetWindowTextW(window_, text.c_str());
    quiet_ = false;
  }
  bool quiet_ = false;
};

class EditPeer : public TextPeer {
 public:
  EditPeer(Win32Backend& backend, Edit& edit) : TextPeer(backend, edit), edit_(edit) {
    Create(L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
    SetWindowTextQuietly(Wide(edit_.Text()));
    SendMessageW(window_, EM_SETREADONLY, edit_.ReadOnly(), 0);
  }
  void Changed(Change what) override {
    if (!window_) return;
    if (what == Change::Text) {
      SetWindowTextQuietly(Wide(edit_.Text()));
    } else if (what == Change::ReadOnly) {
      SendMessageW(window_, EM_SETREADONLY, edit_.ReadOnly(), 0);
    } else {
      WindowPeer::Changed(what);
    }
  }
  void Command(unsigned code) override {
    if (code == EN_CHANGE && !quiet_) edit_.TextTyped(Narrow(WindowText(window_)));
  }
  intptr_t CtlColor(HDC__* dc) override {
    SetTextColor(dc, backend_.ColorRef(edit_.GetFont().Color));
    SetBkColor(dc, backend_.ColorRef(edit_.Color()));
    return reinterpret_cast<intptr_t>(backend_.BrushFor(edit_.Color()));
  }

 private:
  Edit& edit_;
};

class MemoPeer : public TextPeer {
 public:
  MemoPeer(Win32Backend& backend, Memo& memo) : TextPeer(backend, memo), memo_(memo) {
    DWORD exStyle = 0;
    Create(L"EDIT", Style(exStyle), exStyle);
    SendMessageW(window_, EM_SETLIMITTEXT, 0, 0);
    SetWindowTextQuietly(Wide(memo_.Text()));
    SendMessageW(window_, EM_SETREADONLY, memo_.ReadOnly(), 0);
  }
  void Changed(Change what) override {
    if (!window_) return;
    switch (what) {
      case Change::Text:
        SetWindowTextQuietly(Wide(memo_.Text()));
        break;
      case Change::LineAdded:
        Append();
        break;
      case Change::ReadOnly:
        SendMessageW(window_, EM_SETREADONLY, memo_.ReadOnly(), 0);
        break;
      case Change::Style: {
        DWORD exStyle = 0;
        DWORD style = Style(exStyle) | WS_CHILD | WS_CLIPSIBLINGS | (memo_.Visible() ? WS_VISIBLE : 0);
        SetWindowLongPtrW(window_, GWL_STYLE, static_cast<LONG_PTR>(style));
        SetWindowLongPtrW(window_, GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
        SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      }
      default:
        WindowPeer::Changed(what);
        break;
    }
  }
  void Command(unsigned code) override {
    if (code == EN_CHANGE && !quiet_) memo_.TextTyped(Narrow(WindowText(window_)));
  }
  intptr_t CtlColor(HDC__* dc) override {
    SetTextColor(dc, backend_.ColorRef(memo_.GetFont().Color));
    SetBkColor(dc, backend_.ColorRef(memo_.Color()));
    return reinterpret_cast<intptr_t>(backend_.BrushFor(memo_.Color()));
  }

 private:
  DWORD Style(DWORD& exStyle) const {
    exStyle = memo_.BorderNone() ? 0 : WS_EX_CLIENTEDGE;
    return ES_MULTILINE | ES_AUTOVSCROLL | WS_TABSTOP |
           (memo_.GetScrollBars() == ScrollBars::Vertical ? WS_VSCROLL : 0);
  }

  // Appends only the new lines at the end, so a long log is not rewritten per line.
  void Append() {
    const auto& lines = memo_.Lines();
    size_t added = std::min(memo_.LinesAdded(), lines.size());
    std::string text;
    for (size_t i = lines.size() - added; i < lines.size(); ++i) {
      if (i > 0) text += "\r\n";
      text += lines[i];
    }
    int end = GetWindowTextLengthW(window_);
    std::wstring wide = Wide(text);
    quiet_ = true;
    SendMessageW(window_, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
    SendMessageW(window_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
    quiet_ = false;
    SendMessageW(window_, EM_SCROLLCARET, 0, 0);
  }

  Memo& memo_;
};

class ProgressBarPeer : public WindowPeer {
 public:
  ProgressBarPeer(Win32Backend& backend, ProgressBar& bar) : WindowPeer(backend, bar), bar_(bar) {
    Create(PROGRESS_CLASSW, 0, 0);
    ApplyRange();
  }
  ~ProgressBarPeer() override {
    if (window_) backend_.SetTaskbarProgress(GetAncestor(window_, GA_ROOT), 0, 0);
  }
  void Changed(Change what) override {
    if (what == Change::Range) {
      ApplyRange();
      return;
    }
    WindowPeer::Changed(what);
  }

 private:
  void ApplyRange() {
    if (!window_) return;
    SendMessageW(window_, PBM_SETRANGE32, static_cast<WPARAM>(bar_.Min()), static_cast<LPARAM>(bar_.Max()));
    SendMessageW(window_, PBM_SETPOS, static_cast<WPARAM>(bar_.Position()), 0);
    int64_t total = static_cast<int64_t>(bar_.Max()) - bar_.Min();
    backend_.SetTaskbarProgress(GetAncestor(window_, GA_ROOT),
                                static_cast<uint64_t>(static_cast<int64_t>(bar_.Position()) - bar_.Min()),
                                static_cast<uint64_t>(std::max<int64_t>(0, total)));
  }
  ProgressBar& bar_;
};

// The gauge draws itself: the bar in its colour over white, the percentage in the middle.
class GaugePeer : public WindowPeer {
 public:
  GaugePeer(Win32Backend& backend, Gauge& gauge) : WindowPeer(backend, gauge), gauge_(gauge) {
    Create(RegisterOwnClass(L"SetupGauge"), 0, WS_EX_CLIENTEDGE, true);
  }
  ~GaugePeer() override {
    if (window_) backend_.SetTaskbarProgress(GetAncestor(window_, GA_ROOT), 0, 0);
  }
  void Changed(Change what) override {
    WindowPeer::Changed(what);
    if (what == Change::Range && window_) {
      int64_t total = static_cast<int64_t>(gauge_.MaxValue()) - gauge_.MinValue();
      backend_.SetTaskbarProgress(
          GetAncestor(window_, GA_ROOT),
          static_cast<uint64_t>(static_cast<int64_t>(gauge_.Progress()) - gauge_.MinValue()),
          static_cast<uint64_t>(std::max<int64_t>(0, total)));
    }
  }
  bool Handle(unsigned message, uintptr_t, intptr_t, intptr_t& result) override {
    if (message == WM_ERASEBKGND) {
      result = 1;
      return true;
    }
    if (message != WM_PAINT) return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, backend_.BrushFor(gauge_.Color()));
    RECT bar = client;
    bar.right = client.left + (client.right - client.left) * gauge_.PercentDone() / 100;
    FillRect(dc, &bar, backend_.BrushFor(gauge_.ForeColor()));
    if (gauge_.ShowText()) {
      std::wstring text = Wide(std::to_string(gauge_.PercentDone())) + L"%";
      HGDIOBJ old = SelectObject(dc, backend_.FontFor(gauge_.GetFont()));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, backend_.ColorRef(gauge_.GetFont().Color));
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      SelectObject(dc, old);
    }
    EndPaint(window_, &paint);
    result = 0;
    return true;
  }

 private:
  Gauge& gauge_;
};

// Bevels and images have no window: the parent paints them under its child windows, so
// transparent labels over a header picture show the picture.
class DrawnPeer : public Peer {
 public:
  explicit DrawnPeer(Control& control) : control_(control) {}
  void Changed(Change) override {
    Control* parent = control_.Parent();
    auto* peer = parent ? static_cast<WindowPeer*>(parent->GetPeer()) : nullptr;
    if (peer && peer->Window()) InvalidateRect(peer->Window(), nullptr, TRUE);
  }

 private:
  Control& control_;
};

class TimerPeer : public Peer {
 public:
  TimerPeer(Win32Backend& backend, Timer& timer)
      : backend_(backend), timer_(timer), id_(backend.AddTimer(timer)) {
    Apply();
  }
  ~TimerPeer() override {
    KillTimer(backend_.TimerWindow(), id_);
    backend_.RemoveTimer(id_);
  }
  void Changed(Change what) override {
    if (what == Change::Timer || what == Change::Enabled) Apply();
  }

 private:
  // SetTimer on a running id starts the count again, as enabling does.
  void Apply() {
    if (timer_.Enabled() && timer_.Interval() > 0) {
      SetTimer(backend_.TimerWindow(), id_, static_cast<UINT>(timer_.Interval()), nullptr);
    } else {
      KillTimer(backend_.TimerWindow(), id_);
    }
  }
  Win32Backend& backend_;
  Timer& timer_;
  uintptr_t id_;
};

}  // namespace

std::unique_ptr<Peer> MakeControlPeer(Win32Backend& backend, Control& control) {
  switch (control.Kind()) {
    case ControlKind::Label:
      return std::make_unique<LabelPeer>(backend, static_cast<Label&>(control));
    case ControlKind::Button:
      return std::make_unique<ButtonPeer>(backend, control);
    case ControlKind::CheckBox:
      return std::make_unique<CheckBoxPeer>(backend, static_cast<CheckBox&>(control));
    case ControlKind::Edit:
      return std::make_unique<EditPeer>(backend, static_cast<Edit&>(control));
    case ControlKind::Memo:
      return std::make_unique<MemoPeer>(backend, static_cast<Memo&>(control));
    case ControlKind::ProgressBar:
      return std::make_unique<ProgressBarPeer>(backend, static_cast<ProgressBar&>(control));
    case ControlKind::Gauge:
      return std::make_unique<GaugePeer>(backend, static_cast<Gauge&>(control));
    case ControlKind::Bevel:
    case ControlKind::Image:
      return std::make_unique<DrawnPeer>(control);
    case ControlKind::Timer:
      return std::make_unique<TimerPeer>(backend, static_cast<Timer&>(control));
    default:
      return nullptr;
  }
}

}  // namespace ui::win32
