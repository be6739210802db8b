// Keys are opened with the access each use needs. A registration the process may read but not
// write (HKEY_LOCAL_MACHINE for a user without raised rights) must still give its install folder
// to a patch. Wine runs every program as an administrator, so the key is made read-only for
// everyone by its access list instead.
#include <gtest/gtest.h>

#include <string>

#include <windows.h>
#include <sddl.h>

#include "system/Error.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"
#include "undo/uUnInstall.h"

namespace sys::win32 {
namespace {

const char kSerial[] = "SetupRuntimeTests-ReadOnlyRegistration";

// Sets the key's access list from its SDDL text; false when Windows refused.
bool SetAccess(HKEY root, const std::wstring& subkey, const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return false;
  }
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExW(root, subkey.c_str(), 0, WRITE_DAC, &key);
  if (rc == ERROR_SUCCESS) {
    rc = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
    RegCloseKey(key);
  }
  LocalFree(descriptor);
  return rc == ERROR_SUCCESS;
}

class ReadOnlyRegistration : public testing::Test {
 protected:
  void SetUp() override {
    Win32Platform platform;
    platform.OpenKey(kHkeyLocalMachine, path_, true)->WriteString("Install Dir", "C:\\Apps\\Demo");
    ASSERT_TRUE(SetAccess(HKEY_LOCAL_MACHINE, widePath_, L"D:P(A;;0x20019;;;WD)"));
  }
  void TearDown() override {
    SetAccess(HKEY_LOCAL_MACHINE, widePath_, L"D:P(A;;0xf003f;;;WD)");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, widePath_.c_str());
  }

  std::string path_ = package::UninstallKeyPath(kSerial);
  std::wstring widePath_ = WideSubkey(path_);
};

TEST_F(ReadOnlyRegistration, WritingIsRefused) {
  // Guards the test itself: if Wine ignored the access list, the next test would prove nothing.
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, widePath_.c_str(), 0, KEY_ALL_ACCESS, &key),
            ERROR_ACCESS_DENIED);
  if (key) RegCloseKey(key);
  Win32Platform platform;
  EXPECT_EQ(platform.OpenKey(kHkeyLocalMachine, path_, false), nullptr);
}

TEST_F(ReadOnlyRegistration, GetInstallDirReadsIt) {
  Win32Platform platform;
  std::string dir = "unchanged";
  TUnInstall(platform).GetInstallDir(kSerial, dir);
  EXPECT_EQ(dir, "C:\\Apps\\Demo");
  EXPECT_TRUE(platform.KeyExists(kHkeyLocalMachine, path_));
}

}  // namespace
}  // namespace sys::win32
