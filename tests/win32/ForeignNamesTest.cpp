// Names GBK cannot spell, as a user called Jörg or François has them in every profile path
// (ö, ç, ø, ñ and ß are not in GBK). What comes back from Windows must never be a GBK look-alike
// that names nothing: paths come in their short form, other text fails clearly. ctest runs this
// file under code pages 936 and 1252.
#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "system/Error.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/WideText.h"
#include "tests/support/win32/ScratchFolder.h"

namespace sys::win32 {
namespace {

const wchar_t kJoerg[] = L"J\x00f6rg";

// The long form of a path that exists, to compare two spellings of one folder.
std::wstring LongForm(const std::wstring& path) {
  wchar_t buffer[1024];
  DWORD n = GetLongPathNameW(path.c_str(), buffer, 1024);
  return n > 0 && n < 1024 ? std::wstring(buffer, n) : std::wstring();
}

class ForeignNames : public testing::Test {
 protected:
  void SetUp() override {
    downloads_ = ToWide(scratch_.path()) + L"\\" + kJoerg + L"\\Downloads";
    CreateDirectoryW((ToWide(scratch_.path()) + L"\\" + kJoerg).c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryW(downloads_.c_str(), nullptr));
  }

  tests::ScratchFolder scratch_;
  std::wstring downloads_;
};

TEST(ForeignText, CharactersOutsideGbkAreNoticed) {
  for (const wchar_t* lost : {L"J\x00f6rg", L"Fran\x00e7ois", L"S\x00f8ren", L"Espa\x00f1" L"a",
                              L"Stra\x00df" L"e"}) {
    EXPECT_EQ(FromWideExact(lost), std::nullopt) << FromWide(lost);
  }
  // Pinyin letters are in GBK and come through.
  EXPECT_EQ(FromWideExact(L"Jos\x00e9 \x00fc"), "Jos\xa8\xa6 \xa8\xb9");
  EXPECT_EQ(FromWideExact(L"\x4e2d\x6587"), "\xd6\xd0\xce\xc4");
  EXPECT_EQ(FromWideExact(L""), "");
}

TEST_F(ForeignNames, ExistingFolderComesInAShortFormNamingIt) {
  std::string path = PathFromWide(downloads_);
  EXPECT_EQ(path.find('?'), std::string::npos) << path;
  EXPECT_EQ(LongForm(ToWide(path)), LongForm(downloads_));
  Win32Platform platform;
  EXPECT_TRUE(platform.DirectoryExists(path));
}

TEST_F(ForeignNames, MissingPathIsAClearErrorNamingIt) {
  std::wstring missing = downloads_ + L"\\setup.exe";
  try {
    PathFromWide(missing);
    ADD_FAILURE() << "a path GBK cannot spell was passed on";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), Format(kPathOutsideGbk, FromWide(missing)));
    EXPECT_EQ(e.osCode(), static_cast<uint32_t>(ERROR_NO_UNICODE_TRANSLATION));
  }
}

TEST_F(ForeignNames, TemporaryFolderOfAForeignUserIsUsable) {
  wchar_t old[1024] = L"";
  DWORD oldSize = GetEnvironmentVariableW(L"TMP", old, 1024);
  SetEnvironmentVariableW(L"TMP", downloads_.c_str());
  Win32Platform platform;
  std::string temp = platform.TempDirectory();
  SetEnvironmentVariableW(L"TMP", oldSize ? old : nullptr);

  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_EQ(LongForm(ToWide(temp)), LongForm(downloads_ + L"\\"));
  platform.CreateForWrite(temp + "probe.txt")->Write("x", 1);
  EXPECT_NE(GetFileAttributesW((downloads_ + L"\\probe.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ForeignNames, RegistryTextOutsideGbkIsAShortPathOrAnError) {
  const wchar_t* keyName = L"Software\\SetupRuntimeTests\\ForeignNames";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  auto set = [&](const wchar_t* name, const std::wstring& text) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  };
  set(L"Install Dir", downloads_);
  set(L"Owner", kJoerg);
  RegCloseKey(key);

  Win32Platform platform;
  auto opened = platform.OpenKeyToRead(kHkeyCurrentUser, FromWide(keyName));
  ASSERT_NE(opened, nullptr);
  auto dir = opened->QueryValue("Install Dir");
  ASSERT_TRUE(dir.has_value());
  EXPECT_EQ(LongForm(ToWide(dir->data)), LongForm(downloads_));
  try {
    opened->QueryValue("Owner");
    ADD_FAILURE() << "a text GBK cannot spell was passed on";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), Format(kFailedToGetData, "Owner"));
  }
  opened.reset();
  RegDeleteTreeW(HKEY_CURRENT_USER, keyName);
}

}  // namespace
}  // namespace sys::win32
