#include <gtest/gtest.h>

#include <string>

#include "system/Error.h"
#include "tests/engine/InstallFixture.h"

namespace enginetest {
namespace {

constexpr const char* kHkcuA = "目标计算机\\HKEY_CURRENT_USER\\Software\\A";

class RegistryStep : public InstallTest {
 protected:
  std::string Data(const std::string& name, sys::RegRoot root = sys::kHkeyCurrentUser,
                   const std::string& subkey = "Software\\A") {
    auto value = Value(root, subkey, name);
    return value ? value->data : "<missing>";
  }
  uint32_t Type(const std::string& name) { return Value(sys::kHkeyCurrentUser, "Software\\A", name)->type; }
  size_t Recorded(const std::string& rootKey, const std::string& path, const std::string& name) {
    size_t n = 0;
    for (const auto& item : Log().items) {
      n += (item.kind == 2 && item.rootKey == rootKey && item.path == path && item.valueName == name);
    }
    return n;
  }
};

TEST_F(RegistryStep, RootNamesInAnyCase) {
  builder.AddRegValue("目标计算机\\hkey_current_user\\Software\\A", "v", "text");
  builder.AddRegValue("目标计算机\\HKEY_Local_Machine\\Software\\B", "w", "t2");
  LoadAndInstall();
  EXPECT_EQ(Data("v"), "text");
  EXPECT_EQ(Data("w", sys::kHkeyLocalMachine, "Software\\B"), "t2");
  EXPECT_EQ(Recorded("2147483649", "Software\\A", "v"), 1u);
  EXPECT_EQ(Recorded("2147483650", "Software\\B", "w"), 1u);
}

TEST_F(RegistryStep, PathMacrosOnlyAtTheStartOfStringValues) {
  builder.AddRegValue(kHkcuA, "tool", "[安装目录]\\bin\\tool.exe");
  builder.AddRegValue(kHkcuA, "plain", "abc[安装目录]");
  builder.AddRegValue(kHkcuA, "dll", "[Windows]\\system32\\x.dll");
  LoadAndInstall("C:\\Apps\\T");
  EXPECT_EQ(Data("tool"), "C:\\Apps\\T\\bin\\tool.exe");
  EXPECT_EQ(Data("plain"), "abc[安装目录]");
  EXPECT_EQ(Data("dll"), platform().WindowsDirectory() + "\\system32\\x.dll");
  EXPECT_EQ(Type("tool"), sys::kRegSz);
}

TEST_F(RegistryStep, DwordAndBinaryFromHexText) {
  builder.AddRegValue(kHkcuA, "sixteen", "00000010", 1);
  builder.AddRegValue(kHkcuA, "all", "FFFFFFFF", 1);
  builder.AddRegValue(kHkcuA, "bin", "0A1", 2);
  builder.AddRegValue(kHkcuA, "odd", "x", 7);
  LoadAndInstall();
  EXPECT_EQ(Data("sixteen"), std::string("\x10\0\0\0", 4));
  EXPECT_EQ(Data("all"), "\xFF\xFF\xFF\xFF");
  EXPECT_EQ(Type("all"), sys::kRegDword);
  EXPECT_EQ(Data("bin"), std::string("\x0A\x10", 2));
  EXPECT_EQ(Type("bin"), sys::kRegBinary);
  // An unknown type writes nothing but is recorded like every other value.
  EXPECT_EQ(Data("odd"), "<missing>");
  EXPECT_EQ(Recorded("2147483649", "Software\\A", "odd"), 1u);
}

TEST_F(RegistryStep, ValueForAnotherSystemIsNeitherWrittenNorRecorded) {
  builder.AddRegValue(kHkcuA, "xp", "1", 0, "5.1");
  builder.AddRegValue(kHkcuA, "seven", "1", 0, "6.1");
  LoadAndInstall();
  EXPECT_EQ(Data("xp"), "<missing>");
  EXPECT_EQ(Data("seven"), "1");
  EXPECT_EQ(Recorded("2147483649", "Software\\A", "xp"), 0u);
}

TEST_F(RegistryStep, OnlyListedKeysThatTheRunCreatedAreRecorded) {
  platform().CreateKey(sys::kHkeyCurrentUser, "Software\\Old");
  builder.RegFolder("目标计算机\\HKEY_CURRENT_USER\\Software\\Old");
  builder.RegFolder("目标计算机\\HKEY_CURRENT_USER\\Software\\New\\Sub");
  builder.AddRegValue("目标计算机\\HKEY_CURRENT_USER\\Software\\Implicit\\K", "v", "1");
  LoadAndInstall();
  EXPECT_TRUE(platform().KeyExists(sys::kHkeyCurrentUser, "Software\\New\\Sub"));
  EXPECT_EQ(Recorded("2147483649", "Software\\Old", ""), 0u);
  EXPECT_EQ(Recorded("2147483649", "Software", ""), 0u);
  EXPECT_EQ(Recorded("2147483649", "Software\\New", ""), 1u);
  EXPECT_EQ(Recorded("2147483649", "Software\\New\\Sub", ""), 1u);
  EXPECT_EQ(Recorded("2147483649", "Software\\Implicit\\K", ""), 0u);
  EXPECT_EQ(Recorded("2147483649", "Software\\Implicit\\K", "v"), 1u);
}

TEST_F(RegistryStep, ScriptsAreHandedToRegeditForThisSystemOnly) {
  builder.AddRegFile("X:\\reg\\a b.reg", "REGEDIT4").TargetOs = "6.1";
  builder.AddRegFile("X:\\reg\\xp.reg", "REGEDIT4").TargetOs = "5.1";
  TCompile& c = Load();
  c.FileList[0]->SourcePath = "C:\\Temp\\Reg\\a b.reg";
  c.FileList[1]->SourcePath = "C:\\Temp\\Reg\\xp.reg";
  Install();
  EXPECT_EQ(CommandLines(), std::vector<std::string>{"Regedit /s \"C:\\Temp\\Reg\\a b.reg\""});
  EXPECT_EQ(Hints().at(1), "正在写入注册表信息，请稍候");
}

TEST_F(RegistryStep, ValueWhoseKeyCannotBeOpenedIsSkipped) {
  platform().CreateKey(sys::kHkeyCurrentUser, "Software\\Denied");
  platform().InjectRegistryFault(sys::kHkeyCurrentUser, "Software\\Denied",
                                 sys::sandbox::RegistryFault::DenyAccess);
  builder.AddRegValue("目标计算机\\HKEY_CURRENT_USER\\Software\\Denied", "v", "1");
  builder.AddRegValue(kHkcuA, "after", "2");
  LoadAndInstall();
  EXPECT_EQ(Data("after"), "2");
  EXPECT_EQ(Recorded("2147483649", "Software\\Denied", "v"), 0u);
}

TEST_F(RegistryStep, ValueThatCannotBeWrittenEndsTheRun) {
  platform().CreateKey(sys::kHkeyCurrentUser, "Software\\ReadOnly");
  platform().InjectRegistryFault(sys::kHkeyCurrentUser, "Software\\ReadOnly",
                                 sys::sandbox::RegistryFault::FailWrites);
  builder.AddRegValue("目标计算机\\HKEY_CURRENT_USER\\Software\\ReadOnly", "v", "1");
  Load();
  EXPECT_EQ(InstallError(), sys::Format(sys::kFailedToSetData, "v"));
}

}  // namespace
}  // namespace enginetest
