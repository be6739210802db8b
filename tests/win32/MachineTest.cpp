// Answers of the real API where the interface promises an empty or -1 result instead of an
// error, and the working-folder rule for relative names, which the profile functions on their
// own break (they look a bare file name up in the Windows folder).
#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "system/Platform.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"
#include "tests/support/win32/ScratchFolder.h"

namespace sys::win32 {
namespace {

// Runs a test body inside another working folder and restores the old one afterwards.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& path) {
    wchar_t old[MAX_PATH];
    old_.assign(old, GetCurrentDirectoryW(MAX_PATH, old));
    SetCurrentDirectoryW(ToWide(path).c_str());
  }
  ~WorkingFolder() { SetCurrentDirectoryW(old_.c_str()); }

 private:
  std::wstring old_;
};

TEST(Machine, UnknownSpecialFolderIsEmpty) {
  Win32Platform platform;
  EXPECT_EQ(platform.SpecialFolder(0x7777), "");
}

TEST(Machine, FreeSpaceOfAMissingDriveIsMinusOne) {
  Win32Platform platform;
  ASSERT_EQ(GetDriveTypeW(L"Q:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
  EXPECT_EQ(platform.FreeDiskSpace("Q:\\"), -1);
}

TEST(Machine, WindowsFolderIsTheSystemOne) {
  Win32Platform platform;
  wchar_t expected[MAX_PATH];
  UINT n = GetSystemWindowsDirectoryW(expected, MAX_PATH);
  EXPECT_EQ(platform.WindowsDirectory(), FromWide(std::wstring_view(expected, n)));
}

TEST(WorkingFolderPaths, ProfileFileWithoutFolderIsReadFromTheWorkingFolder) {
  tests::ScratchFolder scratch;
  Win32Platform platform;
  platform.CreateForWrite(scratch.path() + "\\local.ini")->Write("[S]\r\nK=here\r\n", 13);
  WorkingFolder inside(scratch.path());
  EXPECT_EQ(platform.ProfileString("local.ini", "S", "K", "missing"), "here");
  EXPECT_EQ(platform.ProfileKeys("local.ini", "S"), std::vector<std::string>{"K"});
}

TEST(WorkingFolderPaths, RelativeFoldersAreMadeInTheWorkingFolder) {
  tests::ScratchFolder scratch;
  Win32Platform platform;
  WorkingFolder inside(scratch.path());
  ASSERT_TRUE(platform.ForceDirectories("a\\b"));
  EXPECT_TRUE(platform.DirectoryExists(scratch.path() + "\\a\\b"));
}

TEST(Registry, TrailingAndDoubledBackslashesNameTheSameKey) {
  Win32Platform platform;
  const std::string key = "Software\\SetupRuntimeTests\\Slashes";
  platform.CreateKey(kHkeyCurrentUser, "\\Software\\\\SetupRuntimeTests\\Slashes\\");
  EXPECT_TRUE(platform.KeyExists(kHkeyCurrentUser, key));
  RegDeleteTreeW(HKEY_CURRENT_USER, ToWide(key).c_str());
}

}  // namespace
}  // namespace sys::win32
