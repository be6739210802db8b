// hold-run.exe PRODUCT: holds the one-run name of PRODUCT as a running setup program would,
// prints "held", and keeps it while C:\hold-run.flag exists (at most a minute), so the check
// can start a second setup program meanwhile.
#include <cstdio>

#include <windows.h>

#include "system/SingleRun.h"
#include "system/win32/Win32Platform.h"

int main() {
  sys::win32::Win32Platform platform;
  std::unique_ptr<sys::RunClaim> claim = platform.ClaimRun(sys::ProductRunName(platform.Arguments()));
  if (!claim) return 2;
  std::puts("held");
  std::fflush(stdout);
  for (int i = 0; i < 600 && GetFileAttributesW(L"C:\\hold-run.flag") != INVALID_FILE_ATTRIBUTES;
       ++i) {
    Sleep(100);
  }
  return 0;
}
