// Saving and loading Ins.log: round trips, damaged logs, and a save that fails part way.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "package/uKernal.h"
#include "system/Error.h"
#include "tests/support/host/SandboxHost.h"
#include "undo/uUnInstall.h"

namespace {

const char* const kLog = "C:\\App\\Ins.log";

std::string Le32(uint32_t n) {
  std::string out;
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(n >> (8 * i)));
  return out;
}

std::string Stored(const std::string& text) { return Le32(static_cast<uint32_t>(text.size())) + text; }

// One chunk record holding body, compressed with zlib directly.
std::string OneChunk(const std::string& body) {
  uLongf size = compressBound(body.size());
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size,
            reinterpret_cast<const Bytef*>(body.data()), body.size(), 9);
  out.resize(size);
  return Le32(static_cast<uint32_t>(out.size())) + out;
}

class LogFile : public testing::Test {
 protected:
  void SetUp() override { platform_.ForceDirectories("C:\\App"); }

  void ExpectLoadFails(const std::string& fileBytes, const std::string& message) {
    host_.WriteFile(kLog, fileBytes);
    TUnInstall log(platform_);
    try {
      log.LoadFromFile(kLog);
      ADD_FAILURE() << "no error";
    } catch (const sys::Error& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }

  testsupport::SandboxHost host_;
  sys::sandbox::SandboxPlatform& platform_ = host_.platform();
};

TEST_F(LogFile, SaveThenLoadGivesTheSameHeaderAndItems) {
  TUnInstall saved(platform_);
  saved.SetItemName("演示程序");
  saved.SetSerial("{SERIAL}");
  saved.AddFile("C:\\App\\a.exe", 0);
  saved.AddDir("C:\\App");
  saved.AddRegValue("2147483650", "Software\\演示", "");
  saved.SaveToFile(kLog);

  TUnInstall loaded(platform_);
  loaded.AddFile("C:\\Other", 1);
  loaded.LoadFromFile(kLog);
  EXPECT_EQ(loaded.ItemName(), "演示程序");
  EXPECT_EQ(loaded.Serial(), "{SERIAL}");
  ASSERT_EQ(loaded.Items().size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(loaded.Items()[i]->RootKey, saved.Items()[i]->RootKey);
    EXPECT_EQ(loaded.Items()[i]->Path, saved.Items()[i]->Path);
    EXPECT_EQ(loaded.Items()[i]->ValueName, saved.Items()[i]->ValueName);
    EXPECT_EQ(loaded.Items()[i]->Remove, saved.Items()[i]->Remove);
    EXPECT_EQ(loaded.Items()[i]->Kind, saved.Items()[i]->Kind);
  }
}

TEST_F(LogFile, LoadedItemsTakePartInTheDuplicateTest) {
  TUnInstall saved(platform_);
  saved.AddFile("C:\\App\\a.exe", 0);
  saved.SaveToFile(kLog);
  TUnInstall log(platform_);
  log.LoadFromFile(kLog);
  log.AddFile("C:\\APP\\A.EXE", 1);
  ASSERT_EQ(log.Items().size(), 1u);
  EXPECT_EQ(log.Items()[0]->Remove, 0);
}

TEST_F(LogFile, LoadingAMissingFileLeavesHeaderAndItems) {
  TUnInstall log(platform_);
  log.SetItemName("X");
  log.AddFile("C:\\App\\a.exe", 1);
  log.LoadFromFile("C:\\App\\Missing.log");
  EXPECT_EQ(log.ItemName(), "X");
  EXPECT_EQ(log.Items().size(), 1u);
}

TEST_F(LogFile, ChunkThatDoesNotInflateRaisesError) {
  ExpectLoadFails(Le32(6) + "notzlb", "error");
}

TEST_F(LogFile, StringRunningPastTheEndOfTheBodyIsDamaged) {
  ExpectLoadFails(OneChunk(Stored("X") + Le32(100) + "short"), package::kDamagedPackage);
}

TEST_F(LogFile, CountTheBodyCannotHoldIsDamaged) {
  ExpectLoadFails(OneChunk(Stored("X") + Stored("Y") + Le32(0x7FFFFFFF)), package::kDamagedPackage);
  ExpectLoadFails(OneChunk(Stored("X") + Stored("Y") + Le32(0xFFFFFFFF)), package::kDamagedPackage);
}

TEST_F(LogFile, BodyEndingInsideAnItemIsDamaged) {
  // Count 1 and the three strings of the item, but its two bytes are missing: 14 bytes that a
  // count check alone lets through.
  std::string body = Stored("X") + Stored("Y") + Le32(1) + Stored("") + Stored("ab") + Stored("");
  ExpectLoadFails(OneChunk(body), package::kDamagedPackage);
}

TEST_F(LogFile, BodyEndingBeforeTheCountIsDamaged) {
  ExpectLoadFails(OneChunk(Stored("X") + Stored("Y") + "\x01\x00"), package::kDamagedPackage);
}

TEST_F(LogFile, SaveReplacesAnEarlierLog) {
  host_.WriteFile(kLog, std::string(50000, 'z'));
  TUnInstall log(platform_);
  log.SetItemName("New");
  log.SaveToFile(kLog);
  TUnInstall loaded(platform_);
  loaded.LoadFromFile(kLog);
  EXPECT_EQ(loaded.ItemName(), "New");
}

TEST_F(LogFile, SaveFailingPartWayKeepsTheEarlierLogAndLeavesNoTemporaryFile) {
  TUnInstall earlier(platform_);
  earlier.SetItemName("Earlier");
  earlier.AddFile("C:\\App\\old.exe", 1);
  earlier.SaveToFile(kLog);
  const std::string before = host_.ReadFile(kLog);

  TUnInstall log(platform_);
  log.SetItemName("Later");
  for (int i = 0; i < 3000; ++i) log.AddFile("C:\\App\\f" + std::to_string(i), 1);
  platform_.InjectFault({sys::sandbox::FaultOp::Write, "", sys::kErrorDiskFull, 100});
  EXPECT_THROW(log.SaveToFile(kLog), sys::Error);
  platform_.ClearFaults();

  EXPECT_EQ(host_.ReadFile(kLog), before);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(host_.Host("C:\\App"))) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Ins.log"}));
}

TEST_F(LogFile, SaveThatCannotCreateTheFileRaisesTheFileErrorForTheLog) {
  platform_.InjectFault({sys::sandbox::FaultOp::Create, "", sys::kErrorAccessDenied, 0});
  TUnInstall log(platform_);
  try {
    log.SaveToFile(kLog);
    FAIL() << "no error";
  } catch (const sys::Error& e) {
    EXPECT_EQ(std::string(e.what()), sys::Format(sys::kCannotCreateFile, kLog));
    EXPECT_EQ(e.osCode(), sys::kErrorAccessDenied);
  }
}

}  // namespace
