#include "system/Gbk.h"

#include <gtest/gtest.h>

namespace {

TEST(Gbk, SameTextFoldsAsciiOnly) {
  EXPECT_TRUE(sys::SameText("C:\\Program Files\\App", "c:\\PROGRAM FILES\\app"));
  EXPECT_TRUE(sys::SameText("安装目录ab", "安装目录AB"));
  EXPECT_FALSE(sys::SameText("安装目录", "安装目"));
  // Full-width letters are not ASCII and are never folded.
  EXPECT_FALSE(sys::SameText("Ａ", "ａ"));
}

TEST(Gbk, TrailBytesFoldLikeAnyOtherByte) {
  // 0xB0 0x61 is one double-byte character whose trail byte is 'a'; folding treats that byte
  // like every other, so the upper-case form compares equal as well.
  EXPECT_TRUE(sys::SameText("\xB0\x61", "\xB0\x41"));
  EXPECT_EQ(sys::AsciiUpper("\xB0\x61x"), "\xB0\x41X");
}

TEST(Gbk, SearchesMatchOnlyAtCharacterBoundaries) {
  // 0x81 0x5C is one character whose trail byte is a backslash.
  const std::string name = "dir\\\x81\\file";
  EXPECT_EQ(sys::FindLastChar(name, '\\'), 3u);
  EXPECT_EQ(sys::ExtractFileName(name), "\x81\\file");
  EXPECT_EQ(sys::ExtractFilePath(name), "dir\\");
  EXPECT_EQ(sys::FindText("\x81\\x", "\\x"), std::string::npos);
  EXPECT_EQ(sys::FindText("a\\x", "\\X"), 1u);
}

TEST(Gbk, FindTextIgnoresCaseAndAcceptsEmptyNeedle) {
  EXPECT_EQ(sys::FindText("aXbxc", "x"), 1u);
  EXPECT_EQ(sys::FindText("abc", ""), 0u);
  EXPECT_FALSE(sys::ContainsText("abc", "abcd"));
  EXPECT_TRUE(sys::ContainsText("目标计算机\\program files\\X", "目标计算机\\Program Files\\"));
  EXPECT_TRUE(sys::StartsWithText("[SYSTEM ProgramFiles]\\a", "[System ProgramFiles]"));
}

TEST(Gbk, FileNameParts) {
  EXPECT_EQ(sys::ExtractFileName("C:\\A\\b.txt"), "b.txt");
  EXPECT_EQ(sys::ExtractFileName("b.txt"), "b.txt");
  EXPECT_EQ(sys::ExtractFileName("C:\\A\\"), "");
  EXPECT_EQ(sys::ExtractFilePath("C:\\A\\b.txt"), "C:\\A\\");
  EXPECT_EQ(sys::ExtractFilePath("b.txt"), "");
}

}  // namespace
