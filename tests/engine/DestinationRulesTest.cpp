#include "engine/DestinationRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const engine::DestinationRoots kRoots{"D:\\Apps\\MyTool", "C:\\Windows"};

TEST(MapUnderInstallDir, RemainderStartingWithAnInstallFolderComponentReplacesItFromThere) {
  EXPECT_EQ(MapUnderInstallDir("D:\\Apps\\MyTool", "MyTool\\bin"), "D:\\Apps\\MyTool\\bin");
  EXPECT_EQ(MapUnderInstallDir("D:\\Apps\\MyTool", "apps\\x"), "D:\\apps\\x");
}

TEST(MapUnderInstallDir, OtherRemainderGoesBelowTheInstallFolder) {
  EXPECT_EQ(MapUnderInstallDir("D:\\Apps\\MyTool", "Common\\x"), "D:\\Apps\\MyTool\\Common\\x");
  EXPECT_EQ(MapUnderInstallDir("D:\\Apps\\MyTool\\", "Other\\"), "D:\\Apps\\MyTool\\Other");
}

TEST(MapUnderInstallDir, EmptyRemainderIsTheInstallFolder) {
  EXPECT_EQ(MapUnderInstallDir("D:\\Apps\\MyTool", ""), "D:\\Apps\\MyTool");
}

TEST(TrimBackslash, RemovesOneTrailingBackslashOnly) {
  EXPECT_EQ(TrimBackslash("C:\\A\\"), "C:\\A");
  EXPECT_EQ(TrimBackslash("C:\\A\\\\"), "C:\\A\\");
  EXPECT_EQ(TrimBackslash("C:\\A"), "C:\\A");
  EXPECT_EQ(TrimBackslash(""), "");
}

TEST(TrimBackslash, KeepsTheTrailByteOfADoubleByteCharacter) {
  // D5 5C is one GBK character whose trail byte has the value of a backslash.
  const std::string folder = std::string("C:\\") + "\xD5\x5C";
  EXPECT_EQ(TrimBackslash(folder), folder);
}

TEST(ResolveDestFolder, ProgramFilesRootIsMappedOntoTheInstallFolder) {
  EXPECT_EQ(ResolveDestFolder("目标计算机\\Program Files\\MyTool\\bin", kRoots),
            "D:\\Apps\\MyTool\\bin");
  EXPECT_EQ(ResolveDestFolder("目标计算机\\Program Files\\Other", kRoots),
            "D:\\Apps\\MyTool\\Other");
}

TEST(ResolveDestFolder, RootsAreFoundIgnoringAsciiCase) {
  EXPECT_EQ(ResolveDestFolder("目标计算机\\program files\\Other\\", kRoots),
            "D:\\Apps\\MyTool\\Other");
  EXPECT_EQ(ResolveDestFolder("目标计算机\\WINDOWS\\system32\\", kRoots), "C:\\Windows\\system32");
}

TEST(ResolveDestFolder, WindowsAndAbsoluteRoots) {
  EXPECT_EQ(ResolveDestFolder("目标计算机\\Windows\\Fonts", kRoots), "C:\\Windows\\Fonts");
  EXPECT_EQ(ResolveDestFolder("指定目录\\E:\\Data\\", kRoots), "E:\\Data");
}

TEST(ResolveDestFolder, TextWithoutARootStaysAsItIs) {
  std::vector<std::string> seen;
  EXPECT_EQ(ResolveDestFolder("E:\\Plain\\", kRoots, [&](const std::string& f) { seen.push_back(f); }),
            "E:\\Plain\\");
  EXPECT_TRUE(seen.empty());
}

TEST(ResolveDestFolder, ReportsTheFolderAfterEachRuleThatApplied) {
  std::vector<std::string> seen;
  ResolveDestFolder("目标计算机\\Windows\\指定目录\\x", kRoots,
                    [&](const std::string& f) { seen.push_back(f); });
  // The Windows rule gives C:\Windows\指定目录\x, in which the absolute root then occurs.
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], "C:\\Windows\\指定目录\\x");
}

}  // namespace
