// The Windows backend read back through the real windows: every control has a standard window
// with the right class, text (GBK captions as UTF-16, whatever the ANSI code page), font and
// DPI-scaled place; messages a person causes reach the portable paths; timers fire; the modal
// loop ends on a result and ignores Enter and Esc. Needs a display (run-with-display.sh).
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "ui/Bevel.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Gauge.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/MediaPlayer.h"
#include "ui/Memo.h"
#include "ui/Panel.h"
#include "ui/ProgressBar.h"
#include "ui/Timer.h"
#include "ui/win32/Win32Backend.h"
#include "system/Platform.h"
#include "system/win32/WideText.h"
#include "system/win32/Win32Platform.h"

namespace {

HWND Hwnd(const ui::Control& control) { return static_cast<HWND>(ui::WindowOf(control)); }

std::wstring Text(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return buffer;
}

std::wstring ClassOf(HWND window) {
  wchar_t buffer[64] = {};
  GetClassNameW(window, buffer, 64);
  return buffer;
}

// left, top, width, height of a child in its parent's client area.
std::vector<int> PlaceOf(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

std::vector<int> Scaled(int dpi, std::vector<int> values) {
  for (int& value : values) value = MulDiv(value, dpi, 96);
  return values;
}

// A form laid out like the wizard's frame, at a chosen DPI.
class Frame {
 public:
  explicit Frame(int dpi) : backend(ui::MakeWin32Backend(dpi)), form(*backend, "TfrmParent") {
    form.SetCaption("“演示软件”安装向导");
    form.SetBorderStyle(ui::BorderStyle::Single);
    form.SetPosition(ui::Position::ScreenCenter);
    form.SetClientSize(508, 331);
    panel = form.Add<ui::Panel>("Panel1");
    panel->SetBevelOuter(ui::BevelOuter::None);
    panel->SetBounds(0, 0, 508, 294);
    panel->SetAlign(ui::Align::Top);
    bevel = form.Add<ui::Bevel>("Bevel1");
    bevel->SetShape(ui::Shape::TopLine);
    bevel->SetBounds(0, 295, 508, 6);
    author = form.Add<ui::Label>("Label1");
    author->SetBounds(8, 309, 0, 0);
    author->SetCaption("演示公司");
    bPrevious = AddButton("bPrevious", "<-上一步(&P)", 256);
    bNext = AddButton("bNext", "下一步(&N)->", 336);
    bCancel = AddButton("bCancel", "取消(&C)", 424);
    edit = form.Add<ui::Edit>("Edit1", panel);
    edit->SetBounds(20, 100, 300, 21);
    box = form.Add<ui::CheckBox>("CheckBox1", panel);
    box->SetCaption("创建桌面快捷方式");
    box->SetBounds(32, 136, 373, 17);
    memo = form.Add<ui::Memo>("Memo1", panel);
    memo->SetBounds(20, 160, 300, 60);
    memo->SetScrollBars(ui::ScrollBars::Vertical);
    memo->SetReadOnly(true);
    bar = form.Add<ui::ProgressBar>("ProgressBar1", panel);
    bar->SetBounds(24, 230, 446, 19);
    gauge = form.Add<ui::Gauge>("Gauge1", panel);
    gauge->SetBounds(16, 255, 305, 24);
    image = form.Add<ui::Image>("Image6", panel);
    image->SetBounds(0, 0, 508, 57);
    timer = form.Add<ui::Timer>("tMedia");
    player = form.Add<ui::MediaPlayer>("MPlay");
  }

  ui::Button* AddButton(const char* name, const char* caption, int left) {
    auto* button = form.Add<ui::Button>(name);
    button->SetCaption(caption);
    button->SetBounds(left, 304, 75, 22);
    return button;
  }

  std::unique_ptr<ui::Backend> backend;
  ui::Form form;
  ui::Panel* panel;
  ui::Bevel* bevel;
  ui::Label* author;
  ui::Button *bPrevious, *bNext, *bCancel;
  ui::Edit* edit;
  ui::CheckBox* box;
  ui::Memo* memo;
  ui::ProgressBar* bar;
  ui::Gauge* gauge;
  ui::Image* image;
  ui::Timer* timer;
  ui::MediaPlayer* player;
};

class Win32Ui : public testing::TestWithParam<int> {};

TEST_P(Win32Ui, EveryControlIsAStandardWindowWithItsTextAndScaledPlace) {
  const int dpi = GetParam();
  Frame frame(dpi);
  frame.form.Show();
  HWND form = Hwnd(frame.form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Text(form), L"“演示软件”安装向导");
  RECT client;
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, MulDiv(508, dpi, 96));
  EXPECT_EQ(client.bottom, MulDiv(331, dpi, 96));
  EXPECT_EQ(GetWindowLongPtrW(form, GWL_STYLE) & WS_MAXIMIZEBOX, 0) << "a single border has no maximize box";

  struct Expected {
    ui::Control* control;
    const wchar_t* className;
    const wchar_t* text;
    std::vector<int> place;
  };
  std::vector<Expected> expected{
      {frame.bPrevious, L"Button", L"<-上一步(&P)", {256, 304, 75, 22}},
      {frame.bNext, L"Button", L"下一步(&N)->", {336, 304, 75, 22}},
      {frame.bCancel, L"Button", L"取消(&C)", {424, 304, 75, 22}},
      {frame.box, L"Button", L"创建桌面快捷方式", {32, 136, 373, 17}},
      {frame.edit, L"Edit", L"", {20, 100, 300, 21}},
      {frame.memo, L"Edit", L"", {20, 160, 300, 60}},
      {frame.bar, L"msctls_progress32", L"", {24, 230, 446, 19}},
      {frame.panel, L"SetupPanel", L"", {0, 0, 508, 294}},
      {frame.gauge, L"SetupGauge", L"", {16, 255, 305, 24}},
  };
  for (const Expected& e : expected) {
    HWND window = Hwnd(*e.control);
    ASSERT_NE(window, nullptr) << e.control->Name();
    EXPECT_EQ(_wcsicmp(ClassOf(window).c_str(), e.className), 0) << e.control->Name();
    EXPECT_EQ(Text(window), e.text) << e.control->Name();
    EXPECT_EQ(PlaceOf(window), Scaled(dpi, e.place)) << e.control->Name();
    EXPECT_TRUE(IsWindowVisible(window)) << e.control->Name();
  }
  EXPECT_EQ(GetWindowLongPtrW(Hwnd(*frame.box), GWL_STYLE) & BS_TYPEMASK, BS_CHECKBOX)
      << "a standard check box, not owner-drawn";
  EXPECT_EQ(GetParent(Hwnd(*frame.box)), Hwnd(*frame.panel));
  EXPECT_EQ(ui::WindowOf(*frame.timer), nullptr);
  EXPECT_EQ(ui::WindowOf(*frame.player), nullptr);
  EXPECT_EQ(ui::WindowOf(*frame.image), nullptr) << "images are drawn by their parent";
  EXPECT_EQ(ui::WindowOf(*frame.bevel), nullptr) << "lines are drawn by their parent";

  HWND label = Hwnd(*frame.author);
  EXPECT_EQ(Text(label), L"演示公司");
  std::vector<int> labelPlace = PlaceOf(label);
  EXPECT_EQ(labelPlace[0], MulDiv(8, dpi, 96));
  EXPECT_EQ(labelPlace[1], MulDiv(309, dpi, 96));
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  SIZE extent;
  GetTextExtentPoint32W(dc, L"演示公司", 4, &extent);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  EXPECT_GE(labelPlace[2], extent.cx) << "an auto-size label fits its text in the real font";

  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Hwnd(*frame.bNext), WM_GETFONT, 0, 0)),
             sizeof(font), &font);
  EXPECT_STREQ(font.lfFaceName, L"宋体");
  EXPECT_EQ(font.lfCharSet, GB2312_CHARSET);
  EXPECT_EQ(font.lfHeight, -MulDiv(9, dpi, 72));
}

TEST_P(Win32Ui, CodeChangesReachTheWindows) {
  Frame frame(GetParam());
  frame.form.Show();
  frame.bNext->SetCaption("我同意(&T)");
  EXPECT_EQ(Text(Hwnd(*frame.bNext)), L"我同意(&T)");
  frame.bPrevious->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(Hwnd(*frame.bPrevious)));
  frame.bCancel->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(Hwnd(*frame.bCancel)));
  frame.box->SetChecked(true);
  EXPECT_EQ(SendMessageW(Hwnd(*frame.box), BM_GETCHECK, 0, 0), BST_CHECKED);
  frame.bar->SetMax(3);
  frame.bar->SetPosition(2);
  EXPECT_EQ(SendMessageW(Hwnd(*frame.bar), PBM_GETPOS, 0, 0), 2);
  EXPECT_EQ(SendMessageW(Hwnd(*frame.bar), PBM_GETRANGE, FALSE, 0), 3);
  frame.memo->AddLine("");
  frame.memo->AddLine("  “演示”安装到“C:\\演示”文件夹下\r\n");
  EXPECT_EQ(Text(Hwnd(*frame.memo)), L"\r\n  “演示”安装到“C:\\演示”文件夹下\r\n");
  frame.memo->Clear();
  frame.memo->AddLine("正在安装文件");
  EXPECT_EQ(Text(Hwnd(*frame.memo)), L"正在安装文件");
}

TEST_P(Win32Ui, APersonsClicksAndTypingTakeThePortablePaths) {
  Frame frame(GetParam());
  frame.form.Show();
  int nexts = 0;
  frame.bNext->OnClick = [&] { ++nexts; };
  SendMessageW(Hwnd(*frame.bNext), BM_CLICK, 0, 0);
  EXPECT_EQ(nexts, 1);
  frame.bNext->SetEnabled(false);
  SendMessageW(Hwnd(*frame.bNext), BM_CLICK, 0, 0);
  EXPECT_EQ(nexts, 1);

  std::vector<bool> ticks;
  frame.box->OnClick = [&] { ticks.push_back(frame.box->Checked()); };
  SendMessageW(Hwnd(*frame.box), BM_CLICK, 0, 0);
  SendMessageW(Hwnd(*frame.box), BM_CLICK, 0, 0);
  EXPECT_EQ(ticks, (std::vector<bool>{true, false}));
  EXPECT_EQ(SendMessageW(Hwnd(*frame.box), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  frame.panel->SetEnabled(false);
  SendMessageW(Hwnd(*frame.box), BM_CLICK, 0, 0);
  EXPECT_EQ(ticks.size(), 2u) << "a box in a disabled panel takes no click";
  frame.panel->SetEnabled(true);

  int linkClicks = 0;
  frame.author->OnClick = [&] { ++linkClicks; };
  HWND label = Hwnd(*frame.author);
  SendMessageW(GetParent(label), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(label), STN_CLICKED), reinterpret_cast<LPARAM>(label));
  EXPECT_EQ(linkClicks, 1);

  std::vector<std::string> changes;
  frame.edit->OnChange = [&] { changes.push_back(frame.edit->Text()); };
  frame.edit->SetText("C:\\Program Files\\演示");
  EXPECT_EQ(Text(Hwnd(*frame.edit)), L"C:\\Program Files\\演示");
  SendMessageW(Hwnd(*frame.edit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"D:\\游戏"));
  SendMessageW(Hwnd(*frame.edit), EM_SETSEL, 5, 5);
  SendMessageW(Hwnd(*frame.edit), WM_CHAR, L'2', 1);
  EXPECT_EQ(changes, (std::vector<std::string>{"C:\\Program Files\\演示", "D:\\游戏", "D:\\游戏2"}))
      << "code changes fire once (no echo from the window), typing fires per change";

  frame.memo->SetReadOnly(false);
  for (wchar_t typed : std::wstring(L"甲\r乙")) SendMessageW(Hwnd(*frame.memo), WM_CHAR, typed, 1);
  EXPECT_EQ(frame.memo->Lines(), (std::vector<std::string>{"甲", "乙"}));
}

TEST_P(Win32Ui, TimersFireAndTheModalLoopEndsOnTheResult) {
  Frame frame(GetParam());
  int ticks = 0;
  frame.timer->SetInterval(30);
  frame.timer->OnTimer = [&] {
    if (++ticks == 3) frame.form.SetModalResult(ui::kMrOk);
  };
  auto* off = frame.form.Add<ui::Timer>("Off");
  off->SetEnabled(false);
  int offTicks = 0;
  off->OnTimer = [&] { ++offTicks; };
  auto* watchdog = frame.form.Add<ui::Timer>("Watchdog");
  watchdog->SetInterval(10000);
  watchdog->OnTimer = [&] { frame.form.SetModalResult(99); };
  int shows = 0;
  frame.form.OnShow = [&] { ++shows; };

  // The window in front is published for the message boxes' owner, and withdrawn after.
  std::vector<uintptr_t> fronts;
  frame.backend->OnTopWindowChanged = [&](uintptr_t window) { fronts.push_back(window); };

  EXPECT_EQ(frame.form.ShowModal(), ui::kMrOk);
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(offTicks, 0);
  EXPECT_EQ(shows, 1);
  EXPECT_FALSE(IsWindowVisible(Hwnd(frame.form)));
  EXPECT_EQ(fronts, (std::vector<uintptr_t>{reinterpret_cast<uintptr_t>(Hwnd(frame.form)), 0}));
}

TEST_P(Win32Ui, EnterAndEscDoNothingAndAltPlusTheAcceleratorClicks) {
  Frame frame(GetParam());
  int clicks = 0;
  for (ui::Button* button : {frame.bPrevious, frame.bCancel}) button->OnClick = [&] { ++clicks; };
  frame.bNext->OnClick = [&] { frame.form.SetModalResult(7); };
  int closeQueries = 0;
  frame.form.OnCloseQuery = [&](bool&) { ++closeQueries; };
  auto* keys = frame.form.Add<ui::Timer>("Keys");
  keys->SetInterval(50);
  int step = 0;
  keys->OnTimer = [&] {
    HWND edit = Hwnd(*frame.edit);
    if (step == 0) {
      SetFocus(edit);
      PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
      PostMessageW(edit, WM_CHAR, VK_RETURN, 1);
      PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1);
      PostMessageW(edit, WM_CHAR, VK_ESCAPE, 1);
    } else if (step == 1) {
      // Alt+N: the system character with the context (Alt) bit.
      PostMessageW(edit, WM_SYSCHAR, L'n', static_cast<LPARAM>(1u << 29 | 1));
    } else if (step > 40) {
      frame.form.SetModalResult(99);
    }
    ++step;
  };
  EXPECT_EQ(frame.form.ShowModal(), 7) << "Alt+N pressed Next";
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(closeQueries, 0) << "Esc did not close the form";
}

TEST_P(Win32Ui, TheCloseBoxAsksAndARefusalKeepsTheFormOpen) {
  Frame frame(GetParam());
  int asked = 0;
  frame.form.OnCloseQuery = [&](bool& canClose) { canClose = ++asked > 1; };
  auto* closer = frame.form.Add<ui::Timer>("Closer");
  closer->SetInterval(40);
  closer->OnTimer = [&] {
    if (asked < 2) PostMessageW(Hwnd(frame.form), WM_CLOSE, 0, 0);
  };
  EXPECT_EQ(frame.form.ShowModal(), ui::kMrCancel);
  EXPECT_EQ(asked, 2);
}

TEST_P(Win32Ui, AnEmbeddedPageBecomesAChildWindowOfItsPanel) {
  Frame frame(GetParam());
  ui::Form page(*frame.backend, "TfrmFist");
  page.Add<ui::Label>("Label1")->SetCaption("欢迎使用");
  page.SetBorderStyle(ui::BorderStyle::None);
  page.SetParent(frame.panel);
  page.SetAlign(ui::Align::Client);
  page.Show();
  frame.form.Show();
  HWND window = Hwnd(page);
  EXPECT_EQ(GetParent(window), Hwnd(*frame.panel));
  EXPECT_NE(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD, 0);
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(PlaceOf(window), Scaled(GetParam(), {0, 0, 508, 294}));
  EXPECT_TRUE(IsWindowVisible(window));
}

TEST_P(Win32Ui, AnErrorInAnEventReachesTheLoopAndLeavesThePumpClean) {
  Frame frame(GetParam());
  frame.timer->SetInterval(20);
  frame.timer->OnTimer = [&] { throw std::runtime_error("写入失败"); };
  try {
    frame.form.ShowModal();
    ADD_FAILURE() << "the timer's error did not come out of the loop";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "写入失败");
  }
  EXPECT_FALSE(IsWindowVisible(Hwnd(frame.form)));
  std::vector<std::string> reported;
  ui::SetErrorReporter([&](const std::exception& e) { reported.push_back(e.what()); });
  frame.timer->OnTimer = [&] {
    if (reported.size() == 2) {
      frame.form.SetModalResult(ui::kMrOk);
      return;
    }
    throw std::runtime_error("again");
  };
  EXPECT_EQ(frame.form.ShowModal(), ui::kMrOk);
  ui::SetErrorReporter(nullptr);
  EXPECT_EQ(reported.size(), 2u);
}

TEST_P(Win32Ui, AQuitMessageEndsTheLoopAndIsHandedOn) {
  Frame frame(GetParam());
  frame.timer->SetInterval(20);
  frame.timer->OnTimer = [&] {
    frame.timer->SetEnabled(false);
    PostQuitMessage(3);
  };
  EXPECT_EQ(frame.form.ShowModal(), ui::kMrCancel);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 3u);
}

// A size x size 24-bit bitmap file of one colour (COLORREF order: 0x00BBGGRR) whose
// bottom-left quarter has the corner colour.
std::string BitmapFile(uint32_t color, int size = 2, uint32_t corner = 0xFFFFFFFF) {
  if (corner == 0xFFFFFFFF) corner = color;
  std::string pixels;
  for (int row = 0; row < size; ++row) {  // bottom row first
    for (int column = 0; column < size; ++column) {
      uint32_t c = row < size / 2 && column < size / 2 ? corner : color;
      pixels += {static_cast<char>((c >> 16) & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                 static_cast<char>(c & 0xFF)};
    }
    pixels += std::string(static_cast<size_t>((4 - size * 3 % 4) % 4), '\0');  // rows of 4n bytes
  }
  auto le32 = [](uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  auto side = static_cast<uint32_t>(size);
  std::string file = "BM" + le32(static_cast<uint32_t>(54 + pixels.size())) + le32(0) + le32(54);
  file += le32(40) + le32(side) + le32(side) + std::string{1, 0, 24, 0} + le32(0) +
          le32(static_cast<uint32_t>(pixels.size())) + le32(2835) + le32(2835) + le32(0) + le32(0);
  return file + pixels;
}

TEST_P(Win32Ui, PicturesAreDecodedByGdiplusAndDrawnByTheirParent) {
  const int dpi = GetParam();
  sys::win32::Win32Platform platform;
  sys::ScopedCurrentPlatform current(platform);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::string folder = sys::win32::FromWide(temp);
  for (auto [name, color] : {std::pair{"red.bmp", 0x0000FFu}, std::pair{"blue.bmp", 0xFF0000u}}) {
    auto stream = platform.CreateForWrite(folder + name);
    std::string bytes = BitmapFile(color);
    stream->Write(bytes.data(), bytes.size());
  }
  auto backend = ui::MakeWin32Backend(dpi);
  ui::Form form(*backend, "TfrmEndIns");
  form.SetClientSize(200, 100);
  form.SetColor(ui::kClWhite);
  auto* image = form.Add<ui::Image>("Image9");
  image->SetBounds(10, 10, 40, 40);
  image->SetStretch(true);
  ASSERT_TRUE(image->LoadFromFile(folder + "red.bmp"));
  ui::Picture back;
  ASSERT_TRUE(back.LoadFromFile(folder + "blue.bmp"));
  bool paintBack = false;
  form.OnPaint = [&](ui::Canvas& canvas) {
    if (paintBack) canvas.DrawPictureStretched(back);
  };
  form.Show();
  HWND window = Hwnd(form);
  auto pixel = [&](int x, int y) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(window);
    COLORREF color = GetPixel(dc, MulDiv(x, dpi, 96), MulDiv(y, dpi, 96));
    ReleaseDC(window, dc);
    return color;
  };
  EXPECT_EQ(pixel(30, 30), RGB(255, 0, 0)) << "the stretched picture covers its rectangle";
  EXPECT_EQ(pixel(100, 80), RGB(255, 255, 255)) << "the form's colour elsewhere";
  paintBack = true;
  EXPECT_EQ(pixel(150, 80), RGB(0, 0, 255)) << "OnPaint stretched its picture over the form";
  DeleteFileW(sys::win32::ToWide(folder + "red.bmp").c_str());
  DeleteFileW(sys::win32::ToWide(folder + "blue.bmp").c_str());
}

TEST_P(Win32Ui, LinesPicturesAndWhatLiesOverThemLookAsAPersonExpects) {
  const int dpi = GetParam();
  sys::win32::Win32Platform platform;
  sys::ScopedCurrentPlatform current(platform);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::string file = sys::win32::FromWide(temp) + "cornered.bmp";
  {
    auto stream = platform.CreateForWrite(file);
    std::string bytes = BitmapFile(0x0000FF, 8, 0x00FF00);
    stream->Write(bytes.data(), bytes.size());
  }
  auto backend = ui::MakeWin32Backend(dpi);
  ui::Form form(*backend, "TfrmEndIns");
  form.SetClientSize(300, 200);
  form.SetColor(ui::kClWhite);
  auto* side = form.Add<ui::Image>("Image1");
  side->SetBounds(0, 0, 100, 100);
  side->SetTransparent(true);
  ASSERT_TRUE(side->LoadFromFile(file));
  auto* back = form.Add<ui::Image>("Image9");
  back->SetBounds(120, 0, 180, 100);
  back->SetStretch(true);
  ASSERT_TRUE(back->LoadFromFile(file));
  auto* label = form.Add<ui::Label>("Label2");
  label->SetAutoSize(false);
  label->SetBounds(130, 10, 160, 20);
  label->SetCaption("a");
  auto* box = form.Add<ui::CheckBox>("CheckBox1");
  box->SetBounds(130, 40, 160, 17);
  box->SetCaption("b");
  auto* bevel = form.Add<ui::Bevel>("Bevel1");
  bevel->SetShape(ui::Shape::TopLine);
  bevel->SetBounds(0, 150, 300, 6);
  form.Show();
  HWND window = Hwnd(form);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  // What the screen shows at a client point given at 96 DPI, plus whole pixels down.
  auto pixel = [&](int x, int y, int down = 0) {
    HDC dc = GetDC(nullptr);
    POINT at{MulDiv(x, dpi, 96), MulDiv(y, dpi, 96) + down};
    ClientToScreen(window, &at);
    COLORREF color = GetPixel(dc, at.x, at.y);
    ReleaseDC(nullptr, dc);
    return color;
  };
  EXPECT_EQ(pixel(6, 1), RGB(255, 0, 0)) << "a picture at its own size, scaled with the DPI";
  EXPECT_EQ(pixel(2, 6), RGB(255, 255, 255)) << "a transparent bitmap's corner colour shows the form";
  EXPECT_EQ(pixel(20, 20), RGB(255, 255, 255)) << "nothing beyond the picture's own size";
  EXPECT_EQ(pixel(270, 20), RGB(255, 0, 0)) << "a label over a picture shows the picture";
  EXPECT_EQ(pixel(270, 48), RGB(255, 0, 0)) << "so does a check box beside its mark and text";
  EXPECT_EQ(pixel(100, 150), GetSysColor(COLOR_BTNSHADOW)) << "the line's shadow row";
  EXPECT_EQ(pixel(100, 150, 1), GetSysColor(COLOR_BTNHIGHLIGHT)) << "its highlight row below";
  EXPECT_EQ(pixel(100, 150, 2), RGB(255, 255, 255)) << "and nothing more";
  DeleteFileW(sys::win32::ToWide(file).c_str());
}

INSTANTIATE_TEST_SUITE_P(Dpi, Win32Ui, testing::Values(96, 144),
                         [](const testing::TestParamInfo<int>& info) {
                           return "Dpi" + std::to_string(info.param);
                         });

}  // namespace
