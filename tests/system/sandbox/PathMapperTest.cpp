// How Windows paths land on the host below the sandbox root.
#include "system/sandbox/PathMapper.h"

#include <gtest/gtest.h>

#include <fstream>

#include "system/Error.h"
#include "tests/support/host/SandboxHost.h"

namespace {

namespace fs = std::filesystem;
using sys::sandbox::PathMapper;

class PathMapperTest : public testing::Test {
 protected:
  PathMapperTest() : root_(testsupport::MakeTempFolder("paths")), mapper_(root_, "C:\\Users\\user\\Downloads") {
    fs::create_directories(root_ / "drive_c");
  }
  ~PathMapperTest() override { fs::remove_all(root_); }

  std::string Normal(const std::string& path) { return mapper_.Normalize(path).value_or("<none>"); }

  fs::path root_;
  PathMapper mapper_;
};

TEST_F(PathMapperTest, DrivesAreFoldersOfTheRoot) {
  EXPECT_EQ(mapper_.ToHost("C:\\Windows\\win.ini"), root_ / "drive_c" / "Windows" / "win.ini");
  EXPECT_EQ(mapper_.ToHost("d:\\Data"), root_ / "drive_d" / "Data");
  EXPECT_EQ(mapper_.ToHost("C:\\"), root_ / "drive_c");
}

TEST_F(PathMapperTest, SeparatorsAndDotsNormalise) {
  EXPECT_EQ(Normal("c:/a//b\\\\c/"), "C:\\a\\b\\c");
  EXPECT_EQ(Normal("C:\\a\\.\\b\\..\\c"), "C:\\a\\c");
  EXPECT_EQ(Normal("C:\\name. . "), "C:\\name");
}

TEST_F(PathMapperTest, DotDotNeverClimbsAboveTheDriveRoot) {
  EXPECT_EQ(Normal("C:\\..\\..\\etc\\passwd"), "C:\\etc\\passwd");
  EXPECT_EQ(Normal("..\\..\\..\\..\\..\\x"), "C:\\x");
  auto host = mapper_.ToHost("C:\\..\\..\\..\\secret");
  ASSERT_TRUE(host.has_value());
  EXPECT_EQ(*host, root_ / "drive_c" / "secret");
}

TEST_F(PathMapperTest, RelativePathsStartAtTheWorkingFolder) {
  EXPECT_EQ(Normal("setup.exe"), "C:\\Users\\user\\Downloads\\setup.exe");
  EXPECT_EQ(Normal("..\\Desktop"), "C:\\Users\\user\\Desktop");
  EXPECT_EQ(Normal("\\Temp"), "C:\\Temp");
  EXPECT_EQ(Normal("C:file.txt"), "C:\\Users\\user\\Downloads\\file.txt");
  EXPECT_EQ(Normal("D:file.txt"), "D:\\file.txt");
}

TEST_F(PathMapperTest, PathsWindowsCannotHoldDoNotMap) {
  for (const char* path : {"\\\\server\\share\\f", "C:\\a\\file.txt:stream", "C:\\a<b", "C:\\what?",
                           "C:\\a|b", "C:\\tab\there", ""}) {
    EXPECT_EQ(mapper_.ToHost(path), std::nullopt) << path;
  }
  EXPECT_EQ(mapper_.ToHost(std::string("C:\\nul\0byte", 11)), std::nullopt);
}

TEST_F(PathMapperTest, ExistingNamesMatchIgnoringAsciiCase) {
  fs::create_directories(root_ / "drive_c" / "Program Files" / "MyApp");
  EXPECT_EQ(mapper_.ToHost("C:\\PROGRAM FILES\\myapp\\New.txt"),
            root_ / "drive_c" / "Program Files" / "MyApp" / "New.txt");
  // A name that does not exist is created as written.
  EXPECT_EQ(mapper_.ToHost("C:\\program files\\Other"), root_ / "drive_c" / "Program Files" / "Other");
}

// Callers trust what the mapping saw instead of looking again, so it must never call an entry
// missing or of the wrong kind; where it did not look, it says so.
TEST_F(PathMapperTest, WhatTheLookupSawIsToldOnlyWhenItLooked) {
  using sys::sandbox::HostEntry;
  const fs::path app = root_ / "drive_c" / "App";
  fs::create_directories(app / "Sub");
  std::ofstream(app / "File.txt") << "f";
  auto seen = [&](const std::string& path) {
    HostEntry entry = HostEntry::Unknown;
    mapper_.ToHost(*mapper_.Resolve(path), &entry);
    return entry;
  };
  for (int pass = 0; pass < 2; ++pass) {  // a fresh walk, then the remembered folder
    EXPECT_EQ(seen("C:\\App\\File.txt"), HostEntry::File);
    EXPECT_EQ(seen("C:\\App\\Sub"), HostEntry::Folder);
    EXPECT_EQ(seen("C:\\App\\none.txt"), HostEntry::Missing);
    EXPECT_EQ(seen("C:\\App\\file.TXT"), HostEntry::Unknown);  // found in the listing only
    EXPECT_EQ(seen("C:\\Nowhere\\deeper\\x.txt"), HostEntry::Missing);
  }
}

// The folder of a path is remembered once found; what changes in and around it must still map
// as a fresh walk would.
TEST_F(PathMapperTest, RememberedFoldersFollowTheSandboxsOwnChanges) {
  const fs::path drive = root_ / "drive_c";
  fs::create_directories(drive / "App" / "Sub");
  EXPECT_EQ(mapper_.ToHost("C:\\app\\sub\\f.txt"), drive / "App" / "Sub" / "f.txt");
  // A name added in the folder later still matches ignoring case.
  std::ofstream(drive / "App" / "Sub" / "Data.TXT") << "d";
  mapper_.NoteAdded(drive / "App" / "Sub" / "Data.TXT");
  EXPECT_EQ(mapper_.ToHost("C:\\APP\\SUB\\data.txt"), drive / "App" / "Sub" / "Data.TXT");
  // The folder goes and comes back in another case: the walk starts again.
  fs::remove_all(drive / "App");
  mapper_.NoteRemoved(drive / "App");
  fs::create_directories(drive / "APP" / "sub");
  mapper_.NoteAdded(drive / "APP");
  EXPECT_EQ(mapper_.ToHost("C:\\app\\sub\\f.txt"), drive / "APP" / "sub" / "f.txt");
  // A folder not there yet is not settled on: once made, its own case counts.
  EXPECT_EQ(mapper_.ToHost("C:\\new\\x.txt"), drive / "new" / "x.txt");
  fs::create_directories(drive / "NEW");
  mapper_.NoteAdded(drive / "NEW");
  EXPECT_EQ(mapper_.ToHost("C:\\new\\x.txt"), drive / "NEW" / "x.txt");
  // A file that takes the folder's name is no folder to look in.
  fs::remove_all(drive / "NEW");
  std::ofstream(drive / "new") << "f";
  mapper_.NoteAdded(drive / "new");
  EXPECT_EQ(mapper_.ToHost("C:\\new\\x.txt"), drive / "new" / "x.txt");
}

TEST_F(PathMapperTest, ChineseNamesBecomeUtf8AndKeepTrailBackslashBytes) {
  // GBK "乗" is 0x81 0x5C: its second byte must not split the name.
  EXPECT_EQ(mapper_.ToHost("C:\\乗\\文件.txt"), root_ / "drive_c" / u8"乗" / u8"文件.txt");
  EXPECT_EQ(Normal("C:\\乗\\..\\a"), "C:\\a");
}

TEST_F(PathMapperTest, DifferentChineseNamesNeverMatch) {
  // Case folding touches ASCII letters only, so an existing "甲" is no match for "乙".
  fs::create_directories(root_ / "drive_c" / u8"甲");
  EXPECT_EQ(mapper_.ToHost("C:\\乙"), root_ / "drive_c" / u8"乙");
}

TEST_F(PathMapperTest, WorkingFolderMustBeAbsolute) {
  EXPECT_THROW(mapper_.SetWorkingDirectory("relative\\folder"), sys::Error);
  mapper_.SetWorkingDirectory("D:/Setup/");
  EXPECT_EQ(Normal("x.ini"), "D:\\Setup\\x.ini");
}

}  // namespace
