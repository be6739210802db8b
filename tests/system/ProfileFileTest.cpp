// The .ini reader's corner cases beyond the platform contract.
#include "system/ProfileFile.h"

#include <gtest/gtest.h>

namespace {

using sys::ProfileFile;

TEST(ProfileFile, QuotesAroundAValueAreDropped) {
  ProfileFile ini("[S]\nA=\"  spaced  \"\nB='single'\nC=\"unbalanced\nD=\"\"\n");
  EXPECT_EQ(ini.Value("S", "A"), "  spaced  ");
  EXPECT_EQ(ini.Value("S", "B"), "single");
  EXPECT_EQ(ini.Value("S", "C"), "\"unbalanced");
  EXPECT_EQ(ini.Value("S", "D"), "");
}

TEST(ProfileFile, FirstSectionAndKeyOfANameWin) {
  ProfileFile ini("[S]\nK=first\nK=second\n[s]\nK=third\nOther=1\n");
  EXPECT_EQ(ini.Value("S", "K"), "first");
  EXPECT_EQ(ini.Value("S", "Other"), std::nullopt);
}

TEST(ProfileFile, LinesOutsideSectionsAndWithoutEqualsSign) {
  ProfileFile ini("Loose=1\n[ Spaced Name ]\nFlag\n=empty name\nKey = a = b\n[Unclosed\nX=1");
  EXPECT_EQ(ini.Keys("Spaced Name"), (std::vector<std::string>{"Flag", "", "Key"}));
  EXPECT_EQ(ini.Value("Spaced Name", "Flag"), "");
  EXPECT_EQ(ini.Value("Spaced Name", "Key"), "a = b");
  EXPECT_EQ(ini.Value("Unclosed", "X"), "1");
  EXPECT_EQ(ini.Value("", "Loose"), std::nullopt);
}

TEST(ProfileFile, ChineseNamesFoldOnlyAsciiLetters) {
  ProfileFile ini("[组件A]\r\n名称=值\r\n");
  EXPECT_EQ(ini.Value("组件a", "名称"), "值");
  EXPECT_EQ(ini.Value("组件B", "名称"), std::nullopt);
}

}  // namespace
