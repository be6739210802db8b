// window-reader CAPTION: prints, in UTF-8, what a person sees of the visible top-level windows
// captioned CAPTION (all processes) and of their visible child windows, read through the W API
// from a second process in the same Wine session:
//   window <client width>x<client height> <caption>
//     <class> <text> [checked] [disabled]      one line per visible child, depth-first
// The wizard check (check-wizard.sh) tells the current page and the button states from it and
// checks the texts as a Windows program reads them, under any ANSI code page.
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

void PrintChildren(HWND parent, int depth) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    std::string line(static_cast<size_t>(depth) * 2, ' ');
    line += Utf8(ClassName(child)) + " " + Utf8(Text(child));
    if (ClassName(child) == L"Button" &&
        SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED) {
      line += " [checked]";
    }
    if (!IsWindowEnabled(child)) line += " [disabled]";
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
    std::printf("window %ldx%ld %s\n", client.right, client.bottom, Utf8(caption).c_str());
    PrintChildren(window, 1);
  }
  std::fflush(stdout);
  return windows.empty() ? 1 : 0;
}
