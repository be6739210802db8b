// The program body of setup.exe: sets up the real Windows platform for the run.
#include "system/Platform.h"
#include "system/win32/Win32Platform.h"

int main() {
  sys::win32::Win32Platform platform;
  sys::ScopedCurrentPlatform current(platform);
  return 0;
}
