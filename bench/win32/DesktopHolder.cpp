// desktop-holder.exe FLAG: joins the desktop with a message-only window and stays while the file
// FLAG exists (at most ten minutes). Wine starts its desktop process for the first program that
// makes a window and ends it a second after the last one has gone; on Windows the desktop is
// always there. Held for the whole of bench/wine-speed.sh, no timed program pays for its start.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                nullptr);
  if (!window) return 1;
  for (int i = 0; i < 6000 && GetFileAttributesW(argv[1]) != INVALID_FILE_ATTRIBUTES; ++i) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(100);
  }
  DestroyWindow(window);
  return 0;
}
