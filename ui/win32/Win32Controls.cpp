// The peers of the standard controls. What a person does comes back through the portable
// paths: BN_CLICKED and STN_CLICKED call Click(), EN_CHANGE calls the typing path.
#include "ui/win32/Win32Internal.h"

#include <algorithm>

#include <windows.h>
#include <commctrl.h>

#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/Memo.h"
#include "ui/Timer.h"
#include "ui/win32/ScopedGdi.h"

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
    // Every label shows what lies under it: pictures of a page are never covered by a box of
    // the page's colour, whatever the label's own setting.
    backdrop_ = Backdrop::ParentThrough;
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

 protected:
  // An auto-size label takes the size its text needs in the real font, so nothing is clipped
  // whatever font the system substitutes.
  void ApplyBounds() override {
    if (!label_.AutoSize()) {
      WindowPeer::ApplyBounds();
      return;
    }
    std::wstring text = Wide(label_.Caption());
    if (text.empty()) text = L" ";
    RECT rect{0, 0, backend_.Scale(label_.Width()), 0};
    {
      ScopedGetDc dc(window_);
      ScopedSelect font(dc.Get(), backend_.FontFor(label_.GetFont()));
      DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &rect,
                DT_CALCRECT | (label_.WordWrap() ? DT_WORDBREAK : 0));
    }
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
    backdrop_ = Backdrop::ParentThrough;
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

 private:
  void ApplyCheck() {
    if (window_) SendMessageW(window_, BM_SETCHECK, box_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  CheckBox& box_;
};

// Edits and memos: a person's typing comes back through the control's TextTyped; text set by
// code must not come back as typing.
template <class TextControl>
class TextPeer : public WindowPeer {
 public:
  TextPeer(Win32Backend& backend, TextControl& control)
      : WindowPeer(backend, control), field_(control) {
    backdrop_ = Backdrop::OwnColor;
  }
  void Command(unsigned code) override {
    if (code == EN_CHANGE && !quiet_) field_.TextTyped(Narrow(WindowText(window_)));
  }

 protected:
  void SetWindowTextQuietly(const std::wstring& text) {
    quiet_ = true;
    SetWindowTextW(window_, text.c_str());
    quiet_ = false;
  }
  TextControl& field_;
  bool quiet_ = false;
};

class EditPeer : public TextPeer<Edit> {
 public:
  EditPeer(Win32Backend& backend, Edit& edit) : TextPeer(backend, edit) {
    Create(L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
    SetWindowTextQuietly(Wide(field_.Text()));
    SendMessageW(window_, EM_SETREADONLY, field_.ReadOnly(), 0);
  }
  void Changed(Change what) override {
    if (!window_) return;
    if (what == Change::Text) {
      SetWindowTextQuietly(Wide(field_.Text()));
    } else if (what == Change::ReadOnly) {
      SendMessageW(window_, EM_SETREADONLY, field_.ReadOnly(), 0);
    } else {
      WindowPeer::Changed(what);
    }
  }
};

class MemoPeer : public TextPeer<Memo> {
 public:
  MemoPeer(Win32Backend& backend, Memo& memo) : TextPeer(backend, memo) {
    DWORD exStyle = 0;
    Create(L"EDIT", Style(exStyle), exStyle);
    SendMessageW(window_, EM_SETLIMITTEXT, 0, 0);
    SetWindowTextQuietly(Wide(field_.Text()));
    SendMessageW(window_, EM_SETREADONLY, field_.ReadOnly(), 0);
  }
  void Changed(Change what) override {
    if (!window_) return;
    switch (what) {
      case Change::Text:
        SetWindowTextQuietly(Wide(field_.Text()));
        break;
      case Change::LineAdded:
        Append();
        break;
      case Change::ReadOnly:
        SendMessageW(window_, EM_SETREADONLY, field_.ReadOnly(), 0);
        break;
      case Change::Style: {
        DWORD exStyle = 0;
        DWORD style = Style(exStyle) | WS_CHILD | WS_CLIPSIBLINGS | (field_.Visible() ? WS_VISIBLE : 0);
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

 private:
  DWORD Style(DWORD& exStyle) const {
    exStyle = field_.BorderNone() ? 0 : WS_EX_CLIENTEDGE;
    return ES_MULTILINE | ES_AUTOVSCROLL | WS_TABSTOP |
           (field_.GetScrollBars() == ScrollBars::Vertical ? WS_VSCROLL : 0);
  }

  // Appends only the new lines at the end, so a long log is not rewritten per line.
  void Append() {
    const auto& lines = field_.Lines();
    size_t added = std::min(field_.LinesAdded(), lines.size());
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
      : timers_(backend.Timers()), timer_(timer), id_(timers_.Add(timer)) {
    Apply();
  }
  ~TimerPeer() override { timers_.Remove(id_); }
  void Changed(Change what) override {
    if (what == Change::Timer || what == Change::Enabled) Apply();
  }

 private:
  void Apply() {
    if (timer_.Enabled() && timer_.Interval() > 0) {
      timers_.Start(id_, timer_.Interval());
    } else {
      timers_.Stop(id_);
    }
  }
  TimerWindow& timers_;
  Timer& timer_;
  uintptr_t id_;
};

}  // namespace

std::unique_ptr<Peer> MakeLabelPeer(Win32Backend& backend, Control& label) {
  return std::make_unique<LabelPeer>(backend, static_cast<Label&>(label));
}

std::unique_ptr<Peer> MakeButtonPeer(Win32Backend& backend, Control& button) {
  return std::make_unique<ButtonPeer>(backend, button);
}

std::unique_ptr<Peer> MakeCheckBoxPeer(Win32Backend& backend, Control& box) {
  return std::make_unique<CheckBoxPeer>(backend, static_cast<CheckBox&>(box));
}

std::unique_ptr<Peer> MakeEditPeer(Win32Backend& backend, Control& edit) {
  return std::make_unique<EditPeer>(backend, static_cast<Edit&>(edit));
}

std::unique_ptr<Peer> MakeMemoPeer(Win32Backend& backend, Control& memo) {
  return std::make_unique<MemoPeer>(backend, static_cast<Memo&>(memo));
}

std::unique_ptr<Peer> MakeTimerPeer(Win32Backend& backend, Control& timer) {
  return std::make_unique<TimerPeer>(backend, static_cast<Timer&>(timer));
}

std::unique_ptr<Peer> MakeDrawnPeer(Win32Backend&, Control& control) {
  return std::make_unique<DrawnPeer>(control);
}

}  // namespace ui::win32
