// The recorder: the no-duplicates rule and the folder and key levels it creates.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "system/Error.h"
#include "system/Platform.h"
#include "tests/support/host/SandboxHost.h"
#include "undo/uUnInstall.h"

namespace {

class Recorder : public testing::Test {
 protected:
  std::vector<std::string> Paths(const TUnInstall& log) {
    std::vector<std::string> paths;
    for (const auto& item : log.Items()) paths.push_back(item->Path);
    return paths;
  }

  testsupport::SandboxHost host_;
  sys::sandbox::SandboxPlatform& platform_ = host_.platform();
  TUnInstall log_{host_.platform()};
};

TEST_F(Recorder, SamePathInOtherCaseIsOneItemAndKeepsTheFirstRemoveFlag) {
  log_.AddFile("C:\\App\\Readme.TXT", 0);
  log_.AddFile("c:\\app\\readme.txt", 1);
  ASSERT_EQ(log_.Items().size(), 1u);
  EXPECT_EQ(log_.Items()[0]->Path, "C:\\App\\Readme.TXT");
  EXPECT_EQ(log_.Items()[0]->Remove, 0);
}

TEST_F(Recorder, ChineseBytesMustMatchExactly) {
  // 数 and 书 differ only in bytes that are not ASCII letters.
  log_.AddDir("C:\\数");
  log_.AddDir("C:\\书");
  EXPECT_EQ(log_.Items().size(), 2u);
}

TEST_F(Recorder, FileAndFolderWithTheSamePathAreTwoItems) {
  log_.AddFile("C:\\App\\Data", 1);
  log_.AddDir("C:\\App\\Data");
  ASSERT_EQ(log_.Items().size(), 2u);
  EXPECT_EQ(log_.Items()[0]->Kind, undo::kUnInsFile);
  EXPECT_EQ(log_.Items()[1]->Kind, undo::kUnInsDir);
}

TEST_F(Recorder, DefaultValueOfACreatedKeyIsNotAddedTwice) {
  log_.AddRegValue("2147483650", "Software\\X", "");
  log_.AddRegValue("2147483650", "SOFTWARE\\x", "");
  log_.AddRegValue("2147483650", "Software\\X", "Name");
  log_.AddRegValue("2147483649", "Software\\X", "Name");
  EXPECT_EQ(log_.Items().size(), 3u);
}

TEST_F(Recorder, RegistryFieldsDoNotRunIntoEachOther) {
  // Joined naively, both would read "2147483650" "A\B" "C" / "2147483650" "A" "B\C" alike.
  log_.AddRegValue("2147483650", "A\\B", "C");
  log_.AddRegValue("2147483650", "A", "B\\C");
  log_.AddRegValue("2147483650", "AB", "");
  log_.AddRegValue("2147483650", "A", "B");
  EXPECT_EQ(log_.Items().size(), 4u);
}

TEST_F(Recorder, ClearForgetsTheItemsForTheDuplicateTest) {
  log_.AddFile("C:\\a", 1);
  log_.Clear();
  log_.AddFile("C:\\a", 0);
  ASSERT_EQ(log_.Items().size(), 1u);
  EXPECT_EQ(log_.Items()[0]->Remove, 0);
}

// The rule as it reads: a linear search over every earlier item of the same kind.
struct NaiveRecorder {
  std::vector<TUnInsData> items;
  static bool Same(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      char x = a[i], y = b[i];
      if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
      if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
      if (x != y) return false;
    }
    return true;
  }
  void Add(const TUnInsData& item) {
    for (const TUnInsData& old : items) {
      if (old.Kind != item.Kind) continue;
      if (item.Kind != undo::kUnInsReg && Same(old.Path, item.Path)) return;
      if (item.Kind == undo::kUnInsReg && Same(old.RootKey, item.RootKey) &&
          Same(old.Path, item.Path) && Same(old.ValueName, item.ValueName)) {
        return;
      }
    }
    items.push_back(item);
  }
};

TEST_F(Recorder, IndexAgreesWithALinearSearchOnRandomSequences) {
  std::mt19937 random(20240611);
  const std::vector<std::string> parts = {"a", "A", "b", "B", "\\", "数", "ab", ""};
  auto pick = [&](int maxParts) {
    std::string text;
    int n = static_cast<int>(random() % (maxParts + 1));
    for (int i = 0; i < n; ++i) text += parts[random() % parts.size()];
    return text;
  };
  NaiveRecorder naive;
  for (int i = 0; i < 5000; ++i) {
    TUnInsData item;
    item.Kind = static_cast<uint8_t>(random() % 3);
    item.Path = pick(3);
    if (item.Kind == undo::kUnInsFile) {
      item.Remove = static_cast<uint8_t>(random() % 2);
      log_.AddFile(item.Path, item.Remove);
    } else if (item.Kind == undo::kUnInsDir) {
      log_.AddDir(item.Path);
    } else {
      item.RootKey = random() % 2 ? "2147483650" : "2147483649";
      item.ValueName = pick(2);
      log_.AddRegValue(item.RootKey, item.Path, item.ValueName);
    }
    naive.Add(item);
  }
  ASSERT_EQ(log_.Items().size(), naive.items.size());
  for (size_t i = 0; i < naive.items.size(); ++i) {
    const TUnInsData& got = *log_.Items()[i];
    EXPECT_EQ(got.Kind, naive.items[i].Kind) << i;
    EXPECT_EQ(got.Path, naive.items[i].Path) << i;
    EXPECT_EQ(got.RootKey, naive.items[i].RootKey) << i;
    EXPECT_EQ(got.ValueName, naive.items[i].ValueName) << i;
    EXPECT_EQ(got.Remove, naive.items[i].Remove) << i;
  }
}

TEST_F(Recorder, ForceDirCreatesAndRecordsMissingLevelsOutermostFirst) {
  platform_.ForceDirectories("C:\\A");
  log_.ForceDir("C:\\A\\B\\C");
  EXPECT_EQ(Paths(log_), (std::vector<std::string>{"C:\\A\\B", "C:\\A\\B\\C"}));
  EXPECT_TRUE(platform_.DirectoryExists("C:\\A\\B\\C"));
  for (const auto& item : log_.Items()) EXPECT_EQ(item->Kind, undo::kUnInsDir);
}

TEST_F(Recorder, ForceDirIgnoresTrailingAndDoubledSeparators) {
  platform_.ForceDirectories("C:\\A");
  log_.ForceDir("C:\\A\\\\B\\C\\");
  EXPECT_EQ(Paths(log_), (std::vector<std::string>{"C:\\A\\B", "C:\\A\\B\\C"}));
}

TEST_F(Recorder, ForceDirOnAnExistingFolderRecordsNothing) {
  platform_.ForceDirectories("C:\\A\\B");
  log_.ForceDir("C:\\A\\B");
  EXPECT_TRUE(log_.Items().empty());
}

TEST_F(Recorder, ForceDirRecordsALevelEvenWhenItCouldNotBeCreated) {
  platform_.InjectFault({sys::sandbox::FaultOp::Directory, "C:\\Locked", sys::kErrorAccessDenied});
  log_.ForceDir("C:\\Locked\\Sub");
  EXPECT_EQ(Paths(log_), (std::vector<std::string>{"C:\\Locked", "C:\\Locked\\Sub"}));
  EXPECT_FALSE(platform_.DirectoryExists("C:\\Locked"));
}

TEST_F(Recorder, ForceDirSplitsOnlyAtRealBackslashes) {
  // D5 5C is one GBK character whose trail byte has the value of a backslash.
  const std::string folder = std::string("C:\\") + "\xD5\x5C" + "x";
  log_.ForceDir(folder);
  EXPECT_EQ(Paths(log_), (std::vector<std::string>{folder}));
}

TEST_F(Recorder, ForceDirKeepsTheLeadingSeparatorsOfANetworkPath) {
  log_.ForceDir("\\\\server\\share\\App");
  EXPECT_EQ(Paths(log_), (std::vector<std::string>{"\\\\server\\share", "\\\\server\\share\\App"}));
}

TEST_F(Recorder, ForceRegKeyRecordsOnlyTheLevelsItCreated) {
  platform_.CreateKey(sys::kHkeyCurrentUser, "Software");
  log_.ForceRegKey("\\Software\\Vendor\\Tool", sys::kHkeyCurrentUser);
  ASSERT_EQ(log_.Items().size(), 2u);
  EXPECT_EQ(log_.Items()[0]->Path, "Software\\Vendor");
  EXPECT_EQ(log_.Items()[1]->Path, "Software\\Vendor\\Tool");
  for (const auto& item : log_.Items()) {
    EXPECT_EQ(item->RootKey, "2147483649");
    EXPECT_EQ(item->ValueName, "");
    EXPECT_EQ(item->Kind, undo::kUnInsReg);
  }
  EXPECT_TRUE(platform_.KeyExists(sys::kHkeyCurrentUser, "Software\\Vendor\\Tool"));
}

TEST_F(Recorder, ForceRegKeyTestsTheFirstLevelToo) {
  log_.ForceRegKey("NewRoot\\Sub", sys::kHkeyLocalMachine);
  EXPECT_EQ(Paths(log_), (std::vector<std::string>{"NewRoot", "NewRoot\\Sub"}));
}

TEST_F(Recorder, ForceRegKeyStopsWithTheRegistryErrorAtALevelItCannotCreate) {
  platform_.CreateKey(sys::kHkeyLocalMachine, "Software\\Locked");
  platform_.InjectRegistryFault(sys::kHkeyLocalMachine, "Software\\Locked",
                                sys::sandbox::RegistryFault::DenyAccess);
  try {
    log_.ForceRegKey("Software\\Locked\\A\\B", sys::kHkeyLocalMachine);
    FAIL() << "no error";
  } catch (const sys::Error& e) {
    EXPECT_STREQ(e.what(), "Failed to create key Software\\Locked\\A");
  }
  EXPECT_TRUE(log_.Items().empty());
  EXPECT_FALSE(platform_.KeyExists(sys::kHkeyLocalMachine, "Software\\Locked\\A\\B"));
}

}  // namespace
