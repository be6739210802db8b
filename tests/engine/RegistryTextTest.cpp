#include <gtest/gtest.h>

#include <string>

#include "engine/RegistryStep.h"
#include "system/Platform.h"

namespace {

TEST(ParseRegKey, RootNameInAnyCaseAndSubkeyJoined) {
  auto key = ParseRegKey("目标计算机\\hkey_current_user\\Software\\\\A\\");
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(key->root, sys::kHkeyCurrentUser);
  EXPECT_EQ(key->subkey, "Software\\A");
  EXPECT_EQ(ParseRegKey("目标计算机\\HKEY_CURRENT_CONFIG\\X")->root, sys::kHkeyCurrentConfig);
}

TEST(ParseRegKey, UnknownRootNamesNothing) {
  EXPECT_FALSE(ParseRegKey("目标计算机\\HKEY_NOWHERE\\Software").has_value());
  EXPECT_FALSE(ParseRegKey("目标计算机").has_value());
}

TEST(ExpandRegMacros, InstallDirMacroAtTheStart) {
  EXPECT_EQ(ExpandRegMacros("[安装目录]\\bin\\tool.exe", "C:\\Windows", "C:\\Apps\\T"),
            "C:\\Apps\\T\\bin\\tool.exe");
}

TEST(ExpandRegMacros, MacroElsewhereIsLeftAlone) {
  EXPECT_EQ(ExpandRegMacros("abc[安装目录]", "C:\\Windows", "C:\\Apps\\T"), "abc[安装目录]");
  EXPECT_EQ(ExpandRegMacros("x[Windows]\\a", "C:\\Windows", "C:\\Apps\\T"), "x[Windows]\\a");
}

TEST(ExpandRegMacros, WindowsMacroInAnyCase) {
  EXPECT_EQ(ExpandRegMacros("[Windows]\\system32\\x.dll", "C:\\Windows", "C:\\Apps\\T"),
            "C:\\Windows\\system32\\x.dll");
  EXPECT_EQ(ExpandRegMacros("[WINDOWS]\\x", "C:\\Win", "C:\\Apps\\T"), "C:\\Win\\x");
  EXPECT_EQ(ExpandRegMacros("[Windows]", "C:\\Win", "C:\\Apps\\T"), "C:\\Win\\");
}

TEST(HexToInt, DigitsOfEitherCaseAndOthersAsZero) {
  EXPECT_EQ(HexToInt("FF"), 255);
  EXPECT_EQ(HexToInt("ff"), 255);
  EXPECT_EQ(HexToInt("1g"), 16);
  EXPECT_EQ(HexToInt(""), 0);
  EXPECT_EQ(HexToInt("00000010"), 16);
  EXPECT_EQ(static_cast<uint32_t>(HexToInt("FFFFFFFF")), 0xFFFFFFFFu);
}

TEST(HexToInt, LongTextWrapsInsteadOfOverflowing) {
  // 17 digits: the leading 1 falls off the 64 bits.
  EXPECT_EQ(HexToInt("10000000000000005"), 5);
}

TEST(HexToBytes, PairsWithOddTextPadded) {
  EXPECT_EQ(HexToBytes("ABC"), std::string("\xAB\xC0", 2));
  EXPECT_EQ(HexToBytes("0A1"), std::string("\x0A\x10", 2));
  EXPECT_EQ(HexToBytes("00ff"), std::string("\x00\xFF", 2));
  EXPECT_EQ(HexToBytes(""), "");
}

}  // namespace
