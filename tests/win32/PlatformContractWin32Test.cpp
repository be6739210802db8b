// The platform contract on the real API: a scratch folder under the Windows temporary folder
// and a registry key of its own below HKEY_CURRENT_USER for each test.
#include <atomic>
#include <string>

#include <windows.h>

#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"
#include "tests/support/PlatformContract.h"
#include "tests/support/win32/FolderLink.h"
#include "tests/support/win32/ScratchFolder.h"
#include "tests/support/win32/ShellLinkReader.h"

namespace {

ContractEnv MakeWin32ContractEnv() {
  static std::atomic<unsigned> counter{0};
  // The scratch folder lives as long as the cleanup function that removes it.
  auto scratch = std::make_shared<sys::win32::tests::ScratchFolder>();
  std::string key = "Software\\SetupRuntimeTests\\" + std::to_string(GetCurrentProcessId()) +
                    "-" + std::to_string(++counter);
  ContractEnv env;
  env.platform = std::make_unique<sys::win32::Win32Platform>();
  env.scratch = scratch->path();
  env.readShellLink = &sys::win32::tests::ReadShellLink;
  env.registryKey = key;
  env.makeFolderLink = &sys::win32::tests::MakeFolderLink;
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  env.keepsFileOwners = !(ntdll && GetProcAddress(ntdll, "wine_get_version"));
  env.cleanup = [scratch, key]() mutable {
    scratch.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, sys::win32::ToWide(key).c_str());
  };
  return env;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, PlatformContract, testing::Values(&MakeWin32ContractEnv));
