// The machine description: machine.json defaults, the facts derived from it and the setters.
#include <gtest/gtest.h>

#include <fstream>

#include "system/Error.h"
#include "system/sandbox/Encoding.h"
#include "tests/support/host/SandboxHost.h"

namespace {

namespace fs = std::filesystem;
using sys::sandbox::SandboxPlatform;
using testsupport::SandboxHost;

nlohmann::json ReadJson(const fs::path& file) {
  std::ifstream in(file);
  return nlohmann::json::parse(in);
}

TEST(SandboxMachine, WritesItsDefaultsToMachineJson) {
  SandboxHost host;
  nlohmann::json machine = ReadJson(host.root() / "machine.json");
  EXPECT_EQ(machine["versionText"], "6.1");
  EXPECT_EQ(machine["windowsDirectory"], "C:\\Windows");
  EXPECT_EQ(machine["tempDirectory"], "C:\\Users\\user\\AppData\\Local\\Temp\\");
  EXPECT_EQ(machine["specialFolders"]["38"], "C:\\Program Files");
  EXPECT_EQ(machine["utcOffsetMinutes"], 480);
  EXPECT_EQ(machine["elevation"], "accept");
  EXPECT_EQ(machine["exePath"], "C:\\Users\\user\\Downloads\\setup.exe");
  EXPECT_EQ(machine["paramCount"], 0);
}

TEST(SandboxMachine, DefaultFactsAreThoseOfAChineseWindows7) {
  SandboxHost host;
  SandboxPlatform& p = host.platform();
  auto version = p.Version();
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->platformId, 2u);
  EXPECT_EQ(version->major, 6u);
  EXPECT_EQ(version->minor, 1u);
  EXPECT_EQ(p.WindowsDirectory(), "C:\\Windows");
  EXPECT_EQ(p.TempDirectory(), "C:\\Users\\user\\AppData\\Local\\Temp\\");
  EXPECT_EQ(p.SpecialFolder(sys::kCsidlDesktop), "C:\\Users\\user\\Desktop");
  EXPECT_EQ(p.SpecialFolder(sys::kCsidlPrograms),
            "C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs");
  EXPECT_EQ(p.SpecialFolder(sys::kCsidlCommonPrograms), "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
  EXPECT_EQ(p.SpecialFolder(sys::kCsidlAppData), "C:\\Users\\user\\AppData\\Roaming");
  EXPECT_EQ(p.SpecialFolder(sys::kCsidlProgramFiles), "C:\\Program Files");
  EXPECT_EQ(p.SpecialFolder(5), "");
  EXPECT_EQ(p.ExePath(), "C:\\Users\\user\\Downloads\\setup.exe");
  EXPECT_EQ(p.ParamCount(), 0);
  EXPECT_EQ(p.FreeDiskSpace("C:\\"), 50LL * 1024 * 1024 * 1024);
  EXPECT_TRUE(fs::is_directory(host.root() / "drive_c" / "Windows"));
  EXPECT_TRUE(fs::is_directory(host.root() / "drive_c" / "Program Files"));
  EXPECT_TRUE(fs::is_directory(host.root() / "drive_c" / "Users" / "user" / "AppData" / "Local" / "Temp"));
}

TEST(SandboxMachine, VersionTextsMapToTheVersionQuery) {
  SandboxHost host;
  SandboxPlatform& p = host.platform();
  struct Case {
    const char* text;
    uint32_t platformId, major, minor;
  };
  for (Case c : {Case{"2", 1, 4, 10}, Case{"1", 0, 3, 10}, Case{"5.1", 2, 5, 1}, Case{"10.0", 2, 10, 0}}) {
    p.SetVersionText(c.text);
    auto version = p.Version();
    ASSERT_TRUE(version.has_value()) << c.text;
    EXPECT_EQ(version->platformId, c.platformId) << c.text;
    EXPECT_EQ(version->major, c.major) << c.text;
    EXPECT_EQ(version->minor, c.minor) << c.text;
  }
  for (const char* failing : {"0", "", "6", "six.one", "6.1.7600"}) {
    p.SetVersionText(failing);
    EXPECT_EQ(p.Version(), std::nullopt) << failing;
  }
}

TEST(SandboxMachine, LocalTimeIsEightHoursAheadByDefault) {
  SandboxHost host;
  const sys::FileTime hour = 36000000000ULL;
  EXPECT_EQ(host.platform().LocalToUtc(100 * hour), 92 * hour);
  host.platform().SetUtcOffsetMinutes(-300);
  EXPECT_EQ(host.platform().LocalToUtc(100 * hour), 105 * hour);
}

TEST(SandboxMachine, FreeSpaceOfListedMissingAndPresentDrives) {
  SandboxHost host;
  SandboxPlatform& p = host.platform();
  EXPECT_EQ(p.FreeDiskSpace("Q:\\"), -1);
  EXPECT_EQ(p.FreeDiskSpace(""), -1);
  EXPECT_EQ(p.FreeDiskSpace("1:\\"), -1);
  p.SetFreeSpace('d', 12345);
  EXPECT_EQ(p.FreeDiskSpace("D:\\"), 12345);
  EXPECT_EQ(p.FreeDiskSpace("d:\\"), 12345);
  EXPECT_TRUE(p.ForceDirectories("D:\\Games"));
  p.SetFreeSpace('D', -1);
  EXPECT_GT(p.FreeDiskSpace("D:\\"), 0);  // the host volume answers for an unlisted drive folder
}

TEST(SandboxMachine, FoldersOnAMissingDriveCannotBeMade) {
  SandboxHost host;
  EXPECT_FALSE(host.platform().ForceDirectories("E:\\Nowhere"));
  EXPECT_FALSE(std::filesystem::exists(host.root() / "drive_e"));
}

TEST(SandboxMachine, SettersPersistForTheNextRun) {
  SandboxHost host;
  SandboxPlatform& p = host.platform();
  p.SetVersionText("5.1");
  p.SetElevation(false);
  p.SetExitCode(3);
  p.SetExePath("D:\\安装\\setup.exe", 1);
  p.SetAnswers({sys::kIdYes}, sys::kIdYes);
  p.SetWorkingDirectory("D:\\安装");
  host.Reopen();
  const sys::sandbox::MachineConfig& machine = host.platform().machine();
  EXPECT_EQ(machine.versionText, "5.1");
  EXPECT_FALSE(machine.elevationAccepted);
  EXPECT_EQ(machine.exitCode, 3u);
  EXPECT_EQ(host.platform().ExePath(), "D:\\安装\\setup.exe");
  EXPECT_EQ(host.platform().ParamCount(), 1);
  EXPECT_EQ(machine.answers, std::vector<int>{sys::kIdYes});
  EXPECT_EQ(machine.defaultAnswer, sys::kIdYes);
  EXPECT_EQ(host.platform().NormalizePath("x.txt"), "D:\\安装\\x.txt");
  EXPECT_TRUE(host.platform().DirectoryExists("D:\\安装"));
  nlohmann::json json = ReadJson(host.root() / "machine.json");
  EXPECT_EQ(json["exePath"], sys::sandbox::GbkToUtf8("D:\\安装\\setup.exe"));
  EXPECT_EQ(json["elevation"], "refuse");
}

TEST(SandboxMachine, AHandWrittenMachineJsonKeepsDefaultsForMissingFields) {
  fs::path root = testsupport::MakeTempFolder("machine");
  std::ofstream(root / "machine.json") << R"({"versionText": "2", "answers": ["yes", "no"],
      "specialFolders": {"0": "D:\\Desk\\"}, "freeSpace": {"d": 7}})";
  {
    SandboxPlatform p(root);
    EXPECT_EQ(p.Version()->platformId, 1u);
    EXPECT_EQ(p.SpecialFolder(sys::kCsidlDesktop), "D:\\Desk");
    EXPECT_EQ(p.SpecialFolder(sys::kCsidlProgramFiles), "");
    EXPECT_EQ(p.FreeDiskSpace("D:\\"), 7);
    EXPECT_GT(p.FreeDiskSpace("C:\\"), 0);  // no longer listed: the host volume answers
    EXPECT_EQ(p.WindowsDirectory(), "C:\\Windows");
    EXPECT_EQ(p.ShowMessageBox("q", "c", sys::kMbYesNo), sys::kIdYes);
    EXPECT_EQ(p.ShowMessageBox("q", "c", sys::kMbYesNo), sys::kIdNo);
    EXPECT_EQ(p.ShowMessageBox("q", "c", sys::kMbYesNo), sys::kIdNo);
  }
  std::ofstream(root / "machine.json") << R"({"answers": ["maybe"]})";
  EXPECT_THROW(SandboxPlatform{root}, sys::Error);
  std::ofstream(root / "machine.json") << R"({"exitCode": "zero"})";
  EXPECT_THROW(SandboxPlatform{root}, sys::Error);
  for (const char* key : {"x", "38x", "", "99999999999"}) {
    std::ofstream(root / "machine.json") << R"({"specialFolders": {")" << key << R"(": "C:\A"}})";
    EXPECT_THROW(SandboxPlatform{root}, sys::Error) << key;
  }
  fs::remove_all(root);
}

}  // namespace
