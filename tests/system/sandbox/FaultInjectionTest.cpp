// Injected file failures: the error paths engine tests rely on.
#include <gtest/gtest.h>

#include "system/Error.h"
#include "tests/support/host/SandboxHost.h"

namespace {

using sys::sandbox::FaultRule;
namespace FaultOp = sys::sandbox::FaultOp;
using testsupport::SandboxHost;

TEST(SandboxFaults, CreateFailsWithTheInjectedCode) {
  SandboxHost host;
  sys::sandbox::SandboxPlatform& p = host.platform();
  p.InjectFault(FaultRule{FaultOp::Create, "\\locked\\", sys::kErrorAccessDenied, 0});
  ASSERT_TRUE(p.ForceDirectories("C:\\Locked"));
  try {
    p.CreateForWrite("c:/LOCKED/app.exe");
    FAIL() << "create succeeded";
  } catch (const sys::Error& e) {
    EXPECT_STREQ(e.what(), "Cannot create file \"c:/LOCKED/app.exe\"");
    EXPECT_EQ(e.osCode(), sys::kErrorAccessDenied);
  }
  EXPECT_FALSE(p.FileExists("C:\\Locked\\app.exe"));
  EXPECT_NO_THROW(p.CreateForWrite("C:\\Open\\..\\free.txt"));
  EXPECT_FALSE(p.WriteShellLink("C:\\Locked\\App.lnk", sys::ShellLink{"C:\\a.exe", "", "", "C:\\", 1}));
}

TEST(SandboxFaults, DiskFullAfterSomeBytes) {
  SandboxHost host;
  sys::sandbox::SandboxPlatform& p = host.platform();
  p.InjectFault(FaultRule{FaultOp::Write, "big.dat", sys::kErrorDiskFull, 10});
  auto stream = p.CreateForWrite("C:\\big.dat");
  stream->Write("0123456", 7);
  try {
    stream->Write("789abc", 6);
    FAIL() << "write past the limit succeeded";
  } catch (const sys::Error& e) {
    EXPECT_STREQ(e.what(), "Stream write error");
    EXPECT_EQ(e.osCode(), sys::kErrorDiskFull);
  }
  stream.reset();
  EXPECT_EQ(host.ReadFile("C:\\big.dat"), "0123456789");
}

TEST(SandboxFaults, OtherOperationsReportFailure) {
  SandboxHost host;
  sys::sandbox::SandboxPlatform& p = host.platform();
  host.WriteFile("C:\\Data\\a.txt", "a");
  p.InjectFault(FaultRule{FaultOp::Remove | FaultOp::Copy | FaultOp::Move | FaultOp::Directory, "\\data\\", 5, 0});
  EXPECT_FALSE(p.RemoveFile("C:\\Data\\a.txt"));
  EXPECT_FALSE(p.CopyNewFile("C:\\Data\\a.txt", "C:\\Data\\b.txt"));
  EXPECT_FALSE(p.MoveReplacing("C:\\Data\\a.txt", "C:\\Data\\c.txt"));
  EXPECT_FALSE(p.ForceDirectories("C:\\Data\\Sub"));
  EXPECT_TRUE(p.FileExists("C:\\Data\\a.txt"));
  // Copy and move are matched on the target only.
  EXPECT_TRUE(p.CopyNewFile("C:\\Data\\a.txt", "C:\\b.txt"));
  p.ClearFaults();
  EXPECT_TRUE(p.RemoveFile("C:\\Data\\a.txt"));
}

TEST(SandboxFaults, RemovalFaultsKeepFoldersAndRestartMarks) {
  SandboxHost host;
  sys::sandbox::SandboxPlatform& p = host.platform();
  ASSERT_TRUE(p.ForceDirectories("C:\\Held\\Empty"));
  host.WriteFile("C:\\Held\\a.txt", "a");
  p.InjectFault(FaultRule{FaultOp::Remove, "\\held\\", sys::kErrorAccessDenied, 0});
  EXPECT_EQ(p.RemoveEmptyFolder("C:\\Held\\Empty"), sys::Removal::Failed);
  EXPECT_TRUE(p.DirectoryExists("C:\\Held\\Empty"));
  EXPECT_FALSE(p.RemoveFile("C:\\Held\\a.txt"));
  // A file that cannot go now is what the restart mark is for.
  EXPECT_TRUE(p.RemoveAtRestart("C:\\Held\\a.txt"));
  p.InjectFault(FaultRule{FaultOp::RestartMark, "a.txt", sys::kErrorAccessDenied, 0});
  EXPECT_FALSE(p.RemoveAtRestart("C:\\Held\\a.txt"));
  EXPECT_EQ(host.Journal().size(), 1u);
  p.ClearFaults();
  EXPECT_EQ(p.RemoveEmptyFolder("C:\\Held\\Empty"), sys::Removal::Removed);
}

TEST(SandboxFiles, AnEmptyDriveIsNeverRemoved) {
  SandboxHost host;
  sys::sandbox::SandboxPlatform& p = host.platform();
  p.SetFreeSpace('D', 1 << 20);
  ASSERT_TRUE(p.DirectoryExists("D:\\"));
  EXPECT_EQ(p.RemoveEmptyFolder("D:\\"), sys::Removal::Failed);
  EXPECT_EQ(p.RemoveEmptyFolder("D:\\.."), sys::Removal::Failed);
  EXPECT_TRUE(p.DirectoryExists("D:\\"));
}

TEST(SandboxFaults, OpenFailsAndProfilesFallBack) {
  SandboxHost host;
  sys::sandbox::SandboxPlatform& p = host.platform();
  host.WriteFile("C:\\setup.ini", "[S]\r\nK=V\r\n");
  p.InjectFault(FaultRule{FaultOp::Open, "setup.ini", 32, 0});
  try {
    p.OpenForRead("C:\\setup.ini");
    FAIL() << "open succeeded";
  } catch (const sys::Error& e) {
    EXPECT_STREQ(e.what(), "Cannot open file \"C:\\setup.ini\"");
    EXPECT_EQ(e.osCode(), 32u);
  }
  EXPECT_EQ(p.ProfileString("C:\\setup.ini", "S", "K", "none"), "none");
}

TEST(SandboxFaults, PathsOutsideTheSandboxAreRefused) {
  SandboxHost host;
  sys::sandbox::SandboxPlatform& p = host.platform();
  EXPECT_FALSE(p.FileExists("\\\\server\\share\\x"));
  try {
    p.CreateForWrite("\\\\server\\share\\x");
    FAIL() << "created a UNC file";
  } catch (const sys::Error& e) {
    EXPECT_STREQ(e.what(), "Cannot create file \"\\\\server\\share\\x\"");
  }
  // ".." stops at the drive root: the file lands inside drive C.
  auto stream = p.CreateForWrite("C:\\..\\..\\..\\escape.txt");
  stream.reset();
  EXPECT_TRUE(std::filesystem::exists(host.root() / "drive_c" / "escape.txt"));
  EXPECT_FALSE(std::filesystem::exists(host.root().parent_path() / "escape.txt"));
}

TEST(SandboxFiles, LastWriteTimeIsTheHostModificationTime) {
  SandboxHost host;
  host.WriteFile("C:\\t.txt", "t");
  // 2001-09-09 01:46:40.5 UTC is Unix time 1000000000.5.
  const sys::FileTime when = 116444736000000000ULL + 10000000000000000ULL + 5000000ULL;
  ASSERT_TRUE(host.platform().SetLastWriteTime("C:\\t.txt", when));
  auto stamp = std::filesystem::last_write_time(host.Host("C:\\t.txt"));
  auto since = std::chrono::file_clock::to_sys(stamp).time_since_epoch();
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(since).count(), 1000000000500LL);
  // Before 1970 as well.
  const sys::FileTime old = 116444736000000000ULL - 10000000ULL * 86400 - 1;
  ASSERT_TRUE(host.platform().SetLastWriteTime("C:\\t.txt", old));
  EXPECT_EQ(host.platform().LastWriteTime("C:\\t.txt"), old);
}

TEST(SandboxFiles, CopyKeepsTheSourceTime) {
  SandboxHost host;
  host.WriteFile("C:\\a.txt", "a");
  const sys::FileTime when = 130775328000000000ULL;
  ASSERT_TRUE(host.platform().SetLastWriteTime("C:\\a.txt", when));
  ASSERT_TRUE(host.platform().CopyNewFile("C:\\a.txt", "C:\\b.txt"));
  EXPECT_EQ(host.platform().LastWriteTime("C:\\b.txt"), when);
}

TEST(SandboxFiles, WritingAfterASeekPastTheEndFillsWithZeros) {
  SandboxHost host;
  auto stream = host.platform().CreateForWrite("C:\\gap.bin");
  stream->Write("ab", 2);
  stream->Seek(5);
  stream->Write("c", 1);
  EXPECT_EQ(stream->Size(), 6);
  stream.reset();
  EXPECT_EQ(host.ReadFile("C:\\gap.bin"), std::string("ab\0\0\0c", 6));
}

}  // namespace

namespace {

// The cached folder listings follow the sandbox's own changes and the host helpers' ones.
TEST(SandboxFiles, CaseInsensitiveLookupFollowsChangesInAFolder) {
  SandboxHost host;
  sys::sandbox::SandboxPlatform& p = host.platform();
  for (const char* name : {"One.TXT", "Two.TXT", "Three.TXT"}) p.CreateForWrite(std::string("C:\\Many\\..\\") + name);
  EXPECT_TRUE(p.FileExists("C:\\two.txt"));
  ASSERT_TRUE(p.RemoveFile("C:\\TWO.txt"));
  EXPECT_FALSE(p.FileExists("C:\\two.txt"));
  ASSERT_TRUE(p.MoveReplacing("C:\\one.txt", "C:\\Moved.Txt"));
  EXPECT_TRUE(p.FileExists("C:\\MOVED.TXT"));
  EXPECT_FALSE(p.FileExists("C:\\ONE.TXT"));
  host.WriteFile("C:\\Outside.TXT", "x");
  EXPECT_TRUE(p.FileExists("C:\\outside.txt"));
  p.CreateForWrite("C:\\two.txt");
  EXPECT_TRUE(std::filesystem::exists(host.root() / "drive_c" / "two.txt"));
  EXPECT_TRUE(std::filesystem::exists(host.root() / "drive_c" / "Three.TXT"));
}

}  // namespace
