// The Uninstall registration under HKEY_LOCAL_MACHINE and the patch's question about it.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "system/Error.h"
#include "system/sandbox/SandboxPlatform.h"
#include "tests/support/host/SandboxHost.h"
#include "undo/uUnInstall.h"

namespace {

const char* const kSerial = "{ABC-123}";
const char* const kKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{ABC-123}";

class Registration : public testing::Test {
 protected:
  std::string Value(const std::string& name) {
    auto key = platform_.OpenKey(sys::kHkeyLocalMachine, kKey, false);
    if (!key) return "<no key>";
    auto value = key->QueryValue(name);
    if (!value) return "<no value>";
    EXPECT_EQ(value->type, sys::kRegSz) << name;
    return value->data;
  }

  testsupport::SandboxHost host_;
  sys::sandbox::SandboxPlatform& platform_ = host_.platform();
  TUnInstall log_{host_.platform()};
};

TEST_F(Registration, KeyPathIsBelowTheUninstallKey) {
  EXPECT_EQ(package::UninstallKeyPath(kSerial), kKey);
}

TEST_F(Registration, WritesTheEightValues) {
  log_.WriteUninstallEntry("C:\\App\\u.exe", "X", "1.0", "http://x.example", "Maker", kSerial,
                           "C:\\App");
  EXPECT_EQ(Value("DisplayIcon"), "C:\\App\\u.exe");
  EXPECT_EQ(Value("DisplayName"), "X1.0");
  EXPECT_EQ(Value("DisplayVersion"), "1.0");
  EXPECT_EQ(Value("URLInfoAbout"), "http://x.example");
  EXPECT_EQ(Value("Publisher"), "Maker");
  EXPECT_EQ(Value("UninstallString"), "\"C:\\App\\u.exe\"");
  EXPECT_EQ(Value("QuietUninstallString"), "\"C:\\App\\u.exe\" /S");
  EXPECT_EQ(Value("Install Dir"), "C:\\App");
}

TEST_F(Registration, OverwritesEarlierValuesAndKeepsOthers) {
  {
    auto key = platform_.OpenKey(sys::kHkeyLocalMachine, kKey, true);
    key->WriteString("DisplayName", "Old");
    key->WriteString("Comments", "kept");
  }
  log_.WriteUninstallEntry("", "演示", "2", "", "", kSerial, "D:\\演示");
  EXPECT_EQ(Value("DisplayName"), "演示2");
  EXPECT_EQ(Value("DisplayIcon"), "");
  EXPECT_EQ(Value("Comments"), "kept");
}

TEST_F(Registration, KeyThatCannotBeOpenedIsSkippedSilently) {
  platform_.CreateKey(sys::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  platform_.InjectRegistryFault(sys::kHkeyLocalMachine,
                                "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                                sys::sandbox::RegistryFault::DenyAccess);
  EXPECT_NO_THROW(log_.WriteUninstallEntry("u", "X", "1", "", "", kSerial, "C:\\App"));
  std::string dir = "unchanged";
  log_.GetInstallDir(kSerial, dir);
  EXPECT_EQ(dir, "unchanged");
}

TEST_F(Registration, ValueThatCannotBeWrittenRaisesTheRegistryError) {
  platform_.CreateKey(sys::kHkeyLocalMachine, kKey);
  platform_.InjectRegistryFault(sys::kHkeyLocalMachine, kKey, sys::sandbox::RegistryFault::FailWrites);
  try {
    log_.WriteUninstallEntry("u", "X", "1", "", "", kSerial, "C:\\App");
    FAIL() << "no error";
  } catch (const sys::Error& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'DisplayIcon'");
  }
}

TEST_F(Registration, EmptySerialWritesNothingIntoTheSharedUninstallKey) {
  log_.WriteUninstallEntry("u", "X", "1", "", "", "", "C:\\App");
  auto key = platform_.OpenKey(sys::kHkeyLocalMachine,
                               "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", false);
  if (key) {
    EXPECT_FALSE(key->QueryValue("DisplayName").has_value());
  }
}

// Passes every call on to the sandbox's key and notes the name of each value written.
class RecordingKey : public sys::RegistryKey {
 public:
  RecordingKey(std::unique_ptr<sys::RegistryKey> key, std::vector<std::string>& written)
      : key_(std::move(key)), written_(written) {}
  void WriteString(const std::string& name, const std::string& value) override {
    written_.push_back(name);
    key_->WriteString(name, value);
  }
  void WriteInteger(const std::string& name, uint32_t value) override {
    written_.push_back(name);
    key_->WriteInteger(name, value);
  }
  void WriteBinary(const std::string& name, const std::string& bytes) override {
    written_.push_back(name);
    key_->WriteBinary(name, bytes);
  }
  std::optional<sys::RegValue> QueryValue(const std::string& name) const override {
    return key_->QueryValue(name);
  }
  bool DeleteValue(const std::string& name) override { return key_->DeleteValue(name); }

 private:
  std::unique_ptr<sys::RegistryKey> key_;
  std::vector<std::string>& written_;
};

class KeyWatchPlatform : public sys::sandbox::SandboxPlatform {
 public:
  using SandboxPlatform::SandboxPlatform;
  std::unique_ptr<sys::RegistryKey> OpenKey(sys::RegRoot root, const std::string& subkey,
                                            bool canCreate) override {
    std::unique_ptr<sys::RegistryKey> key = SandboxPlatform::OpenKey(root, subkey, canCreate);
    if (!key) return nullptr;
    return std::make_unique<RecordingKey>(std::move(key), written);
  }
  std::vector<std::string> written;
};

TEST(RegistrationOrder, WritesExactlyTheEightValuesInTheirOrder) {
  const std::filesystem::path root = testsupport::MakeTempFolder("registration-order");
  {
    KeyWatchPlatform platform(root);
    TUnInstall log(platform);
    log.WriteUninstallEntry("C:\\App\\u.exe", "X", "1.0", "http://x.example", "Maker", kSerial,
                            "C:\\App");
    EXPECT_EQ(platform.written,
              (std::vector<std::string>{"DisplayIcon", "DisplayName", "DisplayVersion",
                                        "URLInfoAbout", "Publisher", "UninstallString",
                                        "QuietUninstallString", "Install Dir"}));
  }
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
}

TEST_F(Registration, GetInstallDirReadsTheRegisteredFolder) {
  log_.WriteUninstallEntry("u", "X", "1", "", "", kSerial, "E:\\Tools\\X");
  std::string dir = "C:\\Default";
  log_.GetInstallDir(kSerial, dir);
  EXPECT_EQ(dir, "E:\\Tools\\X");
}

TEST_F(Registration, GetInstallDirWithoutARegistrationGivesEmptyTextAndLeavesAnEmptyKey) {
  std::string dir = "C:\\Default";
  log_.GetInstallDir(kSerial, dir);
  EXPECT_EQ(dir, "");
  EXPECT_TRUE(platform_.KeyExists(sys::kHkeyLocalMachine, kKey));
}

TEST_F(Registration, GetInstallDirOfANonStringValueRaisesTheReadError) {
  platform_.OpenKey(sys::kHkeyLocalMachine, kKey, true)->WriteInteger("Install Dir", 7);
  std::string dir;
  try {
    log_.GetInstallDir(kSerial, dir);
    FAIL() << "no error";
  } catch (const sys::Error& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'Install Dir'");
  }
}

}  // namespace
