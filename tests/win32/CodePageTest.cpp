// GBK text must reach the Windows API as the right UTF-16 whatever the ANSI code page is. The
// checks read back with the W functions directly, so a conversion through CP_ACP (or an A
// function) fails them on the code page 1252 run. ctest runs this file a second time with the
// C.UTF-8 locale, where Wine's ANSI code page is 1252 (plain C would also make Wine's Unix file
// names ASCII, so no Chinese file name could exist at all).
#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "system/Platform.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/ScopedWin.h"
#include "system/win32/WideText.h"
#include "tests/support/win32/ScratchFolder.h"

namespace sys::win32 {
namespace {

// 测试文件.txt, 名称, 中文值, and 乗 whose second GBK byte is 0x5C, a backslash.
const char kFileName[] = "\xb2\xe2\xca\xd4\xce\xc4\xbc\xfe.txt";
const wchar_t kWideFileName[] = L"\x6d4b\x8bd5\x6587\x4ef6.txt";
const char kValueName[] = "\xc3\xfb\xb3\xc6";
const wchar_t kWideValueName[] = L"\x540d\x79f0";
const char kValue[] = "\xd6\xd0\xce\xc4\xd6\xb5";
const wchar_t kWideValue[] = L"\x4e2d\x6587\x503c";
const char kTrailBackslash[] = "\x81\x5c";
const wchar_t kWideTrailBackslash[] = L"\x4e57";

// The names directly inside a folder, as the file system holds them.
std::vector<std::wstring> Listing(const std::string& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  ScopedFindHandle find(FindFirstFileW((ToWide(folder) + L"\\*").c_str(), &found));
  if (!find) return names;
  do {
    std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find.Get(), &found));
  return names;
}

TEST(CodePage, TestRunsInTheCodePageOfItsLocale) {
  // Guards the 1252 run: if the locale did not reach Wine, that run would repeat the 936 one.
  char locale[64] = "";
  GetEnvironmentVariableA("LC_ALL", locale, sizeof locale);
  UINT expected = std::string(locale).starts_with("zh_CN") ? 936 : 1252;
  EXPECT_EQ(GetACP(), expected) << "LC_ALL=" << locale;
}

TEST(CodePage, ConvertsGbkBothWaysIndependentOfAnsiCodePage) {
  EXPECT_EQ(ToWide(kValue), kWideValue);
  EXPECT_EQ(FromWide(kWideValue), kValue);
  EXPECT_EQ(ToWide(kTrailBackslash), kWideTrailBackslash);
}

TEST(CodePage, UnrepresentableCharacterBecomesQuestionMark) {
  EXPECT_EQ(FromWide(L"a\x0e01"), "a?");  // Thai ko kai has no GBK code
}

TEST(CodePage, ChineseFileNameIsStoredAsItsUtf16Name) {
  tests::ScratchFolder scratch;
  Win32Platform platform;
  std::string path = scratch.path() + "\\" + kFileName;
  platform.CreateForWrite(path)->Write("x", 1);

  EXPECT_EQ(Listing(scratch.path()), std::vector<std::wstring>{kWideFileName});
  EXPECT_TRUE(platform.FileExists(path));
  EXPECT_EQ(platform.OpenForRead(path)->Size(), 1);
}

TEST(CodePage, TrailByte5CIsNotAFolderSeparator) {
  tests::ScratchFolder scratch;
  Win32Platform platform;
  std::string folder = scratch.path() + "\\" + kTrailBackslash + "\\sub";
  ASSERT_TRUE(platform.ForceDirectories(folder));

  EXPECT_EQ(Listing(scratch.path()), std::vector<std::wstring>{kWideTrailBackslash});
  EXPECT_EQ(Listing(scratch.path() + "\\" + kTrailBackslash), std::vector<std::wstring>{L"sub"});
}

TEST(CodePage, ProfileFilesAreReadAsGbk) {
  tests::ScratchFolder scratch;
  Win32Platform platform;
  std::string ini = scratch.path() + "\\" + kFileName;
  std::string content = std::string("[") + kValueName + "]\r\n" + kFileName + "=" + kValue +
                        "\r\nplain=x\r\n";
  platform.CreateForWrite(ini)->Write(content.data(), content.size());

  EXPECT_EQ(platform.ProfileKeys(ini, kValueName), (std::vector<std::string>{kFileName, "plain"}));
  EXPECT_EQ(platform.ProfileString(ini, kValueName, kFileName, ""), kValue);
  EXPECT_EQ(platform.ProfileString(ini, kValueName, "missing", "none"), "none");
}

class CodePageRegistry : public ::testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }

  static constexpr const wchar_t* kKey = L"Software\\SetupRuntimeTests\\CodePage";
};

TEST_F(CodePageRegistry, StringValueIsStoredAsUtf16AndReadBackAsGbk) {
  Win32Platform platform;
  std::string subkey = std::string("Software\\SetupRuntimeTests\\CodePage\\") + kValueName;
  auto key = platform.OpenKey(kHkeyCurrentUser, subkey, true);
  ASSERT_NE(key, nullptr);
  key->WriteString(kValueName, kValue);

  std::wstring wideKey = std::wstring(kKey) + L"\\" + kWideValueName;
  wchar_t data[64] = L"";
  DWORD size = sizeof data;
  DWORD type = 0;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, wideKey.c_str(), kWideValueName, RRF_RT_ANY, &type,
                         data, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(data), kWideValue);
  EXPECT_EQ(size, sizeof(kWideValue));  // with its terminating NUL

  auto value = key->QueryValue(kValueName);
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, kRegSz);
  EXPECT_EQ(value->data, kValue);
}

}  // namespace
}  // namespace sys::win32
