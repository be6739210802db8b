// The program body of setup.exe: closes the DLL search to planted files before anything can
// load one, then sets up the real Windows platform for the run.
#include "system/Platform.h"
#include "system/win32/DllSearch.h"
#include "system/win32/Win32Platform.h"

int main() {
  sys::win32::HardenDllSearch();
  sys::win32::Win32Platform platform;
  sys::ScopedCurrentPlatform current(platform);
  return 0;
}
