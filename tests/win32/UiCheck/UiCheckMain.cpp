// ui-check: a wizard-like form on the real backend, for the check on a virtual display
// (check-ui.sh). It shows a GBK caption, a label, three buttons with accelerators and a check
// box, then waits for a person. It prints what happened and exits with:
//   0  Next was pressed (Alt+N) with the check box unticked (Alt+D) and nothing else acted
//   1  Next was pressed but the check box was still ticked or another button acted
//   2  the form closed without Next (Enter, Esc or the close box acted on it)
//   3  nobody pressed anything within 60 seconds
#include <cstdio>

#include "system/Platform.h"
#include "system/win32/Win32Platform.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/Timer.h"
#include "ui/win32/Win32Backend.h"

int main() {
  sys::win32::Win32Platform platform;
  sys::ScopedCurrentPlatform current(platform);
  auto backend = ui::MakeWin32Backend();
  ui::Form form(*backend, "TfrmParent");
  form.SetCaption("“演示软件”安装向导");
  form.SetBorderStyle(ui::BorderStyle::Single);
  form.SetPosition(ui::Position::ScreenCenter);
  form.SetClientSize(508, 331);
  auto* label = form.Add<ui::Label>("Label10");
  label->SetBounds(16, 14, 0, 0);
  label->MutableFont().Bold = true;
  label->FontChanged();
  label->SetCaption("欢迎使用“演示软件”安装向导");
  auto* text = form.Add<ui::Label>("Label1");
  text->SetWordWrap(true);
  text->SetBounds(28, 69, 378, 28);
  text->SetCaption("选择您想要安装程序在安装“演示软件”的时候执行的附加任务，点击“下一步”按钮继续后面的操作。");
  auto* box = form.Add<ui::CheckBox>("CheckBox1");
  box->SetBounds(32, 136, 373, 17);
  box->SetCaption("创建桌面快捷方式(&D)");
  box->SetChecked(true);
  int others = 0;
  bool next = false;
  auto addButton = [&](const char* name, const char* caption, int left) {
    auto* button = form.Add<ui::Button>(name);
    button->SetCaption(caption);
    button->SetBounds(left, 304, 75, 22);
    return button;
  };
  addButton("bPrevious", "<-上一步(&P)", 256)->OnClick = [&] { ++others; };
  addButton("bNext", "下一步(&N)->", 336)->OnClick = [&] {
    next = true;
    form.SetModalResult(ui::kMrOk);
  };
  addButton("bCancel", "取消(&C)", 424)->OnClick = [&] { ++others; };
  auto* giveUp = form.Add<ui::Timer>("GiveUp");
  giveUp->SetInterval(60000);
  bool timedOut = false;
  giveUp->OnTimer = [&] {
    timedOut = true;
    form.SetModalResult(ui::kMrCancel);
  };

  form.ShowModal();
  std::printf("next=%d checked=%d others=%d\n", next ? 1 : 0, box->Checked() ? 1 : 0, others);
  if (timedOut) return 3;
  if (!next) return 2;
  return box->Checked() || others != 0 ? 1 : 0;
}
