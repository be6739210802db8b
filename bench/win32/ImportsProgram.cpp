// imports-program.exe: starts and ends, like empty-program.exe, but imports the system DLLs that
// setup.exe imports. bench/wine-speed.sh times it beside the empty program, so that the part of
// every run of the setup program that is Wine loading those DLLs (user32 and what it pulls in:
// gdi32, the shell, COM) shows as a figure of its own. The calls never run; they are there so
// that the linker keeps one import from each DLL.
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#include <windows.h>

int main(int argc, char**) {
  if (argc > 1000) {
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"", 0, KEY_READ, &key);  // advapi32
    GetStockObject(WHITE_BRUSH);                                // gdi32
    CoInitialize(nullptr);                                      // ole32
    SysFreeString(nullptr);                                     // oleaut32
    ShellExecuteW(nullptr, nullptr, L"", nullptr, nullptr, 0);  // shell32
    GetSystemMetrics(0);                                        // user32
  }
  return 0;
}
