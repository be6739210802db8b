// The progress bar (the common controls' bar) and the gauge (a window of our own that draws the
// bar and its percentage). Both also show their progress on the taskbar button, and take it
// away when they go.
#include <algorithm>
#include <string>

#include <windows.h>
#include <commctrl.h>

#include "ui/Gauge.h"
#include "ui/ProgressBar.h"
#include "ui/win32/ScopedGdi.h"
#include "ui/win32/Win32Internal.h"

namespace ui::win32 {

namespace {

// What both bars share: the taskbar button follows the range.
class BarPeer : public WindowPeer {
 public:
  BarPeer(Win32Backend& backend, Control& control, const BarRange& range)
      : WindowPeer(backend, control), range_(range) {}
  ~BarPeer() override { backend_.Taskbar().SetFor(window_, 0, 0, 0); }

 protected:
  void ShowOnTaskbar() {
    backend_.Taskbar().SetFor(window_, range_.Min(), range_.Position(), range_.Max());
  }
  const BarRange& range_;
};

class ProgressBarPeer : public BarPeer {
 public:
  ProgressBarPeer(Win32Backend& backend, ProgressBar& bar) : BarPeer(backend, bar, bar.Range()) {
    Create(PROGRESS_CLASSW, 0, 0);
    ApplyRange();
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
    SendMessageW(window_, PBM_SETRANGE32, static_cast<WPARAM>(range_.Min()),
                 static_cast<LPARAM>(range_.Max()));
    SendMessageW(window_, PBM_SETPOS, static_cast<WPARAM>(range_.Position()), 0);
    ShowOnTaskbar();
  }
};

// The gauge draws itself: the bar in its colour over white, the percentage in the middle.
class GaugePeer : public BarPeer {
 public:
  GaugePeer(Win32Backend& backend, Gauge& gauge)
      : BarPeer(backend, gauge, gauge.Range()), gauge_(gauge) {
    Create(RegisterOwnClass(L"SetupGauge"), 0, WS_EX_CLIENTEDGE, true);
  }
  void Changed(Change what) override {
    WindowPeer::Changed(what);
    if (what == Change::Range && window_) ShowOnTaskbar();
  }
  bool Handle(unsigned message, uintptr_t, intptr_t, intptr_t& result) override {
    if (message == WM_ERASEBKGND) {
      result = 1;
      return true;
    }
    if (message != WM_PAINT) return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    Paint(dc);
    EndPaint(window_, &paint);
    result = 0;
    return true;
  }

 private:
  void Paint(HDC dc) {
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, backend_.BrushFor(gauge_.Color()));
    RECT bar = client;
    bar.right = client.left + (client.right - client.left) * gauge_.PercentDone() / 100;
    FillRect(dc, &bar, backend_.BrushFor(gauge_.ForeColor()));
    if (!gauge_.ShowText()) return;
    std::wstring text = Wide(std::to_string(gauge_.PercentDone())) + L"%";
    ScopedSelect font(dc, backend_.FontFor(gauge_.GetFont()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, backend_.ColorRef(gauge_.GetFont().Color));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }

  Gauge& gauge_;
};

}  // namespace

std::unique_ptr<Peer> MakeProgressBarPeer(Win32Backend& backend, Control& bar) {
  return std::make_unique<ProgressBarPeer>(backend, static_cast<ProgressBar&>(bar));
}

std::unique_ptr<Peer> MakeGaugePeer(Win32Backend& backend, Control& gauge) {
  return std::make_unique<GaugePeer>(backend, static_cast<Gauge&>(gauge));
}

}  // namespace ui::win32
