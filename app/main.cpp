// The program body of setup.exe: closes the DLL search to planted files before anything can
// load one, then runs the setup on the real Windows platform and the Windows window backend.
#include "app/ProgramBody.h"
#include "system/Platform.h"
#include "system/win32/DllSearch.h"
#include "system/win32/Win32Platform.h"
#include "ui/LazyBackend.h"
#include "ui/win32/Win32Backend.h"

int main() {
  sys::win32::HardenDllSearch();
  sys::win32::Win32Platform platform;
  sys::ScopedCurrentPlatform current(platform);
  // Made when the first window is: a silent run makes none.
  ui::LazyBackend backend([] { return ui::MakeWin32Backend(); });
  // Question boxes and the elevated relaunch are owned by the window in front of the run.
  backend.OnTopWindowChanged = [&platform](uintptr_t window) { platform.SetOwnerWindow(window); };
  return app::RunSetupProgram(platform, backend);
}
