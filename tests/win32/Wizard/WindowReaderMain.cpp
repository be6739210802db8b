// window-reader CAPTION: prints, in UTF-8, what a person sees of the visible top-level windows
// captioned CAPTION (all processes) and of their visible child windows, read through the W API
// from a second process in the same Wine session:
//   window <client width>x<client height> <caption> @<left>,<top>,<width>,<height>
//     <class> <text> [checked] [disabled] @<left>,<top>,<width>,<height>
// one line per visible child, depth-first; the places are window rectangles in screen
// coordinates (with Wine drawing the frames, the X display's too). The wizard checks
// (wizard-lib.sh) tell the current page, the button states and where a control is from it, and
// check the texts as a Windows program reads them, under any ANSI code page.
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return "";
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                      nullptr, nullptr);
  return utf8;
}

// WM_GETTEXT rather than GetWindowText: across processes the latter gives only the text a
// window was created with, not what an edit control holds now.
std::wstring Text(HWND window) {
  wchar_t buffer[4096] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      2000, &copied);
  return buffer;
}

std::wstring ClassName(HWND window) {
  wchar_t buffer[64] = {};
  GetClassNameW(window, buffer, 64);
  return buffer;
}

std::string Place(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return " @" + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
         std::to_string(rect.right - rect.left) + "," + std::to_string(rect.bottom - rect.top);
}

void PrintChildren(HWND parent, int depth) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    std::string line(static_cast<size_t>(depth) * 2, ' ');
    std::wstring text = Text(child);
    // One line per window: a multi-line text (a memo, the licence) shows its lines side by side.
    for (wchar_t& c : text) {
      if (c == L'\r' || c == L'\n') c = L' ';
    }
    line += Utf8(ClassName(child)) + " " + Utf8(text);
    if (ClassName(child) == L"Button" &&
        SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED) {
      line += " [checked]";
    }
    if (!IsWindowEnabled(child)) line += " [disabled]";
    line += Place(child);
    std::printf("%s\n", line.c_str());
    PrintChildren(child, depth + 1);
  }
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc != 2) {
    std::fprintf(stderr, "usage: window-reader CAPTION\n");
    return 2;
  }
  std::wstring caption = argv[1];
  std::vector<HWND> windows;
  for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
    if (IsWindowVisible(window) && Text(window) == caption) windows.push_back(window);
  }
  for (HWND window : windows) {
    RECT client = {};
    GetClientRect(window, &client);
    std::printf("window %ldx%ld %s%s\n", client.right, client.bottom, Utf8(caption).c_str(),
                Place(window).c_str());
    PrintChildren(window, 1);
  }
  std::fflush(stdout);
  return windows.empty() ? 1 : 0;
}
