// The simulated registry: registry.json, reloads, case rules and injected faults.
#include <gtest/gtest.h>

#include <fstream>

#include "system/Error.h"
#include "system/sandbox/Encoding.h"
#include "tests/support/host/SandboxHost.h"

namespace {

using sys::kHkeyCurrentUser;
using sys::kHkeyLocalMachine;
using sys::sandbox::RegistryFault;
using testsupport::SandboxHost;

// The JSON files are UTF-8 while our literals are GBK.
std::string U8(const std::string& gbk) { return sys::sandbox::GbkToUtf8(gbk); }

TEST(SandboxRegistry, SavesKeysAndTypedValuesAsJson) {
  SandboxHost host;
  auto key = host.platform().OpenKey(kHkeyLocalMachine, "\\Software\\Vendor\\产品", true);
  ASSERT_NE(key, nullptr);
  key->WriteString("Path", "C:\\Program Files\\产品");
  key->WriteInteger("Count", 5);
  key->WriteBinary("Blob", std::string("\x0a\xff", 2));

  nlohmann::json json = host.RegistryJson();
  // An existing level keeps its spelling: a fresh machine already has HKLM\SOFTWARE.
  const auto& values = json["HKEY_LOCAL_MACHINE"][U8("SOFTWARE\\Vendor\\产品")];
  EXPECT_EQ(values["Path"]["type"], "REG_SZ");
  EXPECT_EQ(values["Path"]["data"], U8("C:\\Program Files\\产品"));
  EXPECT_EQ(values["Count"]["type"], "REG_DWORD");
  EXPECT_EQ(values["Count"]["data"], 5);
  EXPECT_EQ(values["Blob"]["type"], "REG_BINARY");
  EXPECT_EQ(values["Blob"]["data"], "0aff");
  EXPECT_TRUE(json["HKEY_LOCAL_MACHINE"].contains("SOFTWARE\\Vendor"));
  EXPECT_TRUE(json["HKEY_CURRENT_USER"].is_object());
}

TEST(SandboxRegistry, AFreshMachineHasTheStandardKeys) {
  SandboxHost host;
  sys::Platform& p = host.platform();
  EXPECT_TRUE(p.KeyExists(kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
  EXPECT_TRUE(p.KeyExists(kHkeyLocalMachine, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"));
  EXPECT_TRUE(p.KeyExists(kHkeyCurrentUser, "Software\\Microsoft"));
  EXPECT_FALSE(p.KeyExists(kHkeyCurrentUser, "Software\\Vendor"));
  EXPECT_TRUE(p.DirectoryExists("C:\\Windows\\System32"));
  EXPECT_TRUE(p.DirectoryExists(
      "C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch"));
}

TEST(SandboxRegistry, ReloadsWhatTheLastRunSaved) {
  SandboxHost host;
  host.platform().OpenKey(kHkeyCurrentUser, "Software\\Keep", true)->WriteString("Name", "值");
  host.Reopen();  // the destructor saves
  auto key = host.platform().OpenKey(kHkeyCurrentUser, "software\\KEEP", false);
  ASSERT_NE(key, nullptr);
  auto value = key->QueryValue("name");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, sys::kRegSz);
  EXPECT_EQ(value->data, "值");
}

TEST(SandboxRegistry, KeepsTheCaseNamesWereCreatedWith) {
  SandboxHost host;
  host.platform().CreateKey(kHkeyCurrentUser, "Software\\MixedCase");
  host.platform().CreateKey(kHkeyCurrentUser, "SOFTWARE\\MIXEDCASE\\Child");
  host.platform().OpenKey(kHkeyCurrentUser, "software\\mixedcase", false)->WriteString("ValueName", "1");
  host.platform().OpenKey(kHkeyCurrentUser, "software\\mixedcase", false)->WriteString("VALUENAME", "2");
  nlohmann::json json = host.RegistryJson();
  const auto& keys = json["HKEY_CURRENT_USER"];
  ASSERT_TRUE(keys.contains("Software\\MixedCase\\Child"));
  EXPECT_EQ(keys["Software\\MixedCase"].size(), 1u);
  EXPECT_EQ(keys["Software\\MixedCase"]["ValueName"]["data"], "2");
}

TEST(SandboxRegistry, ATrailByteBackslashDoesNotSplitALevel) {
  SandboxHost host;
  // "乗" is 0x81 0x5C: one level, not a level "\x81" with a child.
  host.platform().CreateKey(kHkeyCurrentUser, "Software\\乗\\子项");
  EXPECT_TRUE(host.platform().KeyExists(kHkeyCurrentUser, "software\\乗"));
  EXPECT_FALSE(host.platform().KeyExists(kHkeyCurrentUser, "Software\\\x81"));
  EXPECT_TRUE(host.RegistryJson()["HKEY_CURRENT_USER"].contains(U8("Software\\乗\\子项")));
}

TEST(SandboxRegistry, NotGbkTextSurvivesAsHex) {
  SandboxHost host;
  host.platform().OpenKey(kHkeyCurrentUser, "Software\\Odd", true)->WriteString("Bad", "\xff\xff");
  nlohmann::json json = host.RegistryJson();
  EXPECT_EQ(json["HKEY_CURRENT_USER"]["Software\\Odd"]["Bad"]["hex"], "ffff");
  host.Reopen();
  auto value = host.platform().OpenKey(kHkeyCurrentUser, "Software\\Odd", false)->QueryValue("Bad");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->data, "\xff\xff");
}

TEST(SandboxRegistry, DeniedKeyCannotBeCreatedOrOpened) {
  SandboxHost host;
  host.platform().InjectRegistryFault(kHkeyLocalMachine, "Software\\Locked", RegistryFault::DenyAccess);
  try {
    host.platform().CreateKey(kHkeyLocalMachine, "Software\\Locked\\App");
    FAIL() << "CreateKey under a denied key succeeded";
  } catch (const sys::Error& e) {
    EXPECT_STREQ(e.what(), "Failed to create key Software\\Locked\\App");
    EXPECT_EQ(e.osCode(), sys::kErrorAccessDenied);
  }
  EXPECT_EQ(host.platform().OpenKey(kHkeyLocalMachine, "Software\\Locked", true), nullptr);
  EXPECT_EQ(host.platform().OpenKey(kHkeyLocalMachine, "Software\\Locked\\App", true), nullptr);
  EXPECT_FALSE(host.platform().KeyExists(kHkeyLocalMachine, "Software\\Locked\\App"));
  // Keys beside it are untouched.
  EXPECT_NE(host.platform().OpenKey(kHkeyLocalMachine, "Software\\Open", true), nullptr);
}

TEST(SandboxRegistry, FailingWritesThrowTheValueName) {
  SandboxHost host;
  host.platform().InjectRegistryFault(kHkeyCurrentUser, "Software\\ReadOnly", RegistryFault::FailWrites);
  auto key = host.platform().OpenKey(kHkeyCurrentUser, "Software\\ReadOnly\\Deeper", true);
  ASSERT_NE(key, nullptr);
  for (int kind = 0; kind < 3; ++kind) {
    try {
      if (kind == 0) key->WriteString("Name", "x");
      if (kind == 1) key->WriteInteger("Name", 1);
      if (kind == 2) key->WriteBinary("Name", "x");
      ADD_FAILURE() << "write " << kind << " succeeded";
    } catch (const sys::Error& e) {
      EXPECT_STREQ(e.what(), "Failed to set data for 'Name'");
    }
  }
  EXPECT_EQ(key->QueryValue("Name"), std::nullopt);
}

TEST(SandboxRegistry, ProtectedKeysAreNotRemovedAndRemovalsAreSaved) {
  SandboxHost host;
  sys::sandbox::SandboxPlatform& p = host.platform();
  p.CreateKey(kHkeyCurrentUser, "Software\\Gone");
  p.InjectRegistryFault(kHkeyCurrentUser, "Software\\Denied", RegistryFault::DenyAccess);
  p.InjectRegistryFault(kHkeyCurrentUser, "Software\\ReadOnly\\Empty", RegistryFault::FailWrites);
  EXPECT_EQ(p.RemoveEmptyKey(kHkeyCurrentUser, "Software\\Denied"), sys::Removal::Failed);
  EXPECT_EQ(p.RemoveEmptyKey(kHkeyCurrentUser, "Software\\ReadOnly\\Empty"), sys::Removal::Failed);
  EXPECT_TRUE(p.KeyExists(kHkeyCurrentUser, "Software\\Denied"));
  EXPECT_EQ(p.RemoveEmptyKey(kHkeyCurrentUser, "software\\GONE"), sys::Removal::Removed);
  host.Reopen();
  EXPECT_FALSE(host.platform().KeyExists(kHkeyCurrentUser, "Software\\Gone"));
  EXPECT_TRUE(host.platform().KeyExists(kHkeyCurrentUser, "Software\\ReadOnly\\Empty"));
}

TEST(SandboxRegistry, DamagedRegistryJsonIsReported) {
  SandboxHost host;
  std::filesystem::path root = host.root();
  host.platform().CreateKey(kHkeyCurrentUser, "Software\\X");
  host.platform().Flush();
  std::ofstream(root / "registry.json") << "{\"HKEY_NOWHERE\": {}}";
  EXPECT_THROW(sys::sandbox::SandboxPlatform{root}, sys::Error);
  std::ofstream(root / "registry.json") << "not json";
  EXPECT_THROW(sys::sandbox::SandboxPlatform{root}, sys::Error);
  std::ofstream(root / "registry.json") << "{}";
}

}  // namespace
