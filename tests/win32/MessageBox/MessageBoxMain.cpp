// message-box ask|info: shows the setup run's question or information box through the system
// helpers on the real platform, captioned as a setup run captions it, and prints in UTF-8 what
// the box showed and what the user answered:
//   codepage=<the ANSI code page the box ran under>
//   caption=<the box's title>
//   text=<the box's message>
//   answer=yes|no          (ask)     shown                  (info)
// The texts are read back from the box itself by a second thread while it is open. The box is
// answered from outside (check-message-box.sh sends the keys under Xvfb).
#include <cstdio>
#include <string>

#include <windows.h>

#include "system/Platform.h"
#include "system/SystemHelpers.h"
#include "system/win32/Win32Platform.h"

namespace {

// The message box's static text control, the same id on Windows and Wine.
constexpr int kMessageTextId = 0xFFFF;

void PrintUtf8(const char* label, const std::wstring& text) {
  std::string utf8(static_cast<size_t>(text.size() * 3), '\0');
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                 utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
  utf8.resize(static_cast<size_t>(size));
  std::printf("%s=%s\n", label, utf8.c_str());
  std::fflush(stdout);
}

std::wstring WindowText(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return buffer;
}

// The dialog windows are looked up by class rather than by walking every top-level window:
// asking each window its class from a second thread while the box is being created crashed
// 64-bit Wine now and then.
HWND FindDialogOfThisProcess() {
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, L"#32770", nullptr)) != nullptr) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) return window;
  }
  return nullptr;
}

// Waits (up to 30 s) for the box to open, then prints its caption and message.
DWORD WINAPI ReportBox(void*) {
  for (int tries = 0; tries < 300; ++tries) {
    HWND box = FindDialogOfThisProcess();
    if (box && IsWindowVisible(box)) {
      PrintUtf8("caption", WindowText(box));
      PrintUtf8("text", WindowText(GetDlgItem(box, kMessageTextId)));
      return 0;
    }
    Sleep(100);
  }
  std::printf("no box appeared\n");
  std::fflush(stdout);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc == 2 ? argv[1] : "";
  if (mode != "ask" && mode != "info") {
    std::fprintf(stderr, "usage: message-box ask|info\n");
    return 2;
  }
  sys::win32::Win32Platform platform;
  sys::ScopedCurrentPlatform current(platform);
  sys::WizardTitle = "“演示软件”安装向导";

  std::printf("codepage=%u\n", GetACP());
  std::fflush(stdout);
  HANDLE reporter = CreateThread(nullptr, 0, ReportBox, nullptr, 0, nullptr);
  if (mode == "ask") {
    bool yes = sys::AskYesNo("安装已完成，是否立即重新启动计算机？");
    WaitForSingleObject(reporter, INFINITE);
    std::printf("answer=%s\n", yes ? "yes" : "no");
  } else {
    sys::ShowInfo("安装程序已把“演示软件”装到您的计算机中。");
    WaitForSingleObject(reporter, INFINITE);
    std::printf("shown\n");
  }
  CloseHandle(reporter);
  return 0;
}
