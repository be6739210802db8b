// The writes and removals below a folder the user can change, on every platform: they work
// through real folders and refuse any level below the anchor that is a link, leaving the link's
// target untouched. The attacker's link is a junction where the platform can make one.
#include <string>

#include "system/Error.h"
#include "system/Gbk.h"
#include "tests/support/PlatformContract.h"

namespace {

std::string Content(sys::Platform& p, const std::string& path) {
  auto stream = p.OpenForRead(path);
  std::string bytes(static_cast<size_t>(stream->Size()), '\0');
  stream->ReadExact(bytes.data(), bytes.size());
  return bytes;
}

void Write(sys::Platform& p, const std::string& path, const std::string& bytes) {
  p.CreateForWrite(path)->Write(bytes.data(), bytes.size());
}

TEST_P(PlatformContract, BelowAnAnchorFoldersFilesAndRemovalsWorkThroughRealFolders) {
  sys::Platform& p = platform();
  const std::string folder = At("Menu\\小工具");
  ASSERT_TRUE(p.CreateFoldersBelow(scratch(), folder));
  EXPECT_TRUE(p.DirectoryExists(folder));
  EXPECT_TRUE(p.CreateFoldersBelow(scratch(), folder)) << "existing folders are fine";

  const std::string file = folder + "\\小工具.lnk";
  ASSERT_TRUE(p.WriteNewFileBelow(scratch(), file, "link bytes"));
  EXPECT_EQ(Content(p, file), "link bytes");
  EXPECT_FALSE(p.WriteNewFileBelow(scratch(), file, "other")) << "a file that exists stays";
  EXPECT_EQ(Content(p, file), "link bytes");

  EXPECT_EQ(p.RemoveBelow(scratch(), folder), sys::Removal::NotEmpty);
  EXPECT_EQ(p.RemoveBelow(scratch(), file), sys::Removal::Removed);
  EXPECT_FALSE(p.FileExists(file));
  EXPECT_EQ(p.RemoveBelow(scratch(), file), sys::Removal::Failed) << "already gone";
  EXPECT_EQ(p.RemoveBelow(scratch(), folder), sys::Removal::Removed);
  EXPECT_FALSE(p.DirectoryExists(folder));
  EXPECT_TRUE(p.DirectoryExists(At("Menu")));
}

TEST_P(PlatformContract, BelowAnAnchorOnlyPathsBelowItAreTaken) {
  sys::Platform& p = platform();
  ASSERT_TRUE(p.ForceDirectories(At("Menu")));
  ASSERT_TRUE(p.ForceDirectories(At("Other")));
  Write(p, At("Other\\keep.txt"), "keep");
  const std::string anchor = At("Menu");
  EXPECT_EQ(p.RemoveBelow(anchor, At("Other\\keep.txt")), sys::Removal::Failed);
  EXPECT_EQ(p.RemoveBelow(anchor, anchor + "\\..\\Other\\keep.txt"), sys::Removal::Failed);
  EXPECT_EQ(p.RemoveBelow(anchor, anchor), sys::Removal::Failed);
  EXPECT_FALSE(p.WriteNewFileBelow(anchor, anchor + "\\..\\Other\\new.txt", "x"));
  EXPECT_FALSE(p.CreateFoldersBelow(anchor, anchor + "\\..\\Other\\Sub"));
  EXPECT_EQ(Content(p, At("Other\\keep.txt")), "keep");
  EXPECT_FALSE(p.FileExists(At("Other\\new.txt")));
  EXPECT_FALSE(p.DirectoryExists(At("Other\\Sub")));
  EXPECT_TRUE(p.DirectoryExists(anchor));
}

// The user swaps the Start-menu folder of the product for a link to a folder of the system.
TEST_P(PlatformContract, BelowAnAnchorALinkedLevelIsRefusedAndItsTargetUntouched) {
  sys::Platform& p = platform();
  ASSERT_TRUE(p.ForceDirectories(At("System")));
  Write(p, At("System\\小工具.lnk"), "system file");
  ASSERT_TRUE(p.ForceDirectories(At("Programs")));
  const std::string anchor = At("Programs");
  if (!MakeFolderLink(At("Programs\\小工具"), At("System"))) {
    GTEST_SKIP() << "this platform cannot make a folder link";
  }
  ASSERT_TRUE(p.FileExists(At("Programs\\小工具\\小工具.lnk"))) << "the link leads to the system folder";

  EXPECT_EQ(p.RemoveBelow(anchor, At("Programs\\小工具\\小工具.lnk")), sys::Removal::Failed);
  EXPECT_FALSE(p.WriteNewFileBelow(anchor, At("Programs\\小工具\\卸载.lnk"), "planted"));
  EXPECT_FALSE(p.CreateFoldersBelow(anchor, At("Programs\\小工具\\Sub")));
  EXPECT_EQ(p.RemoveBelow(anchor, At("Programs\\小工具")), sys::Removal::Failed) << "the link itself";

  EXPECT_EQ(Content(p, At("System\\小工具.lnk")), "system file");
  EXPECT_FALSE(p.FileExists(At("System\\卸载.lnk")));
  EXPECT_FALSE(p.DirectoryExists(At("System\\Sub")));
  EXPECT_TRUE(p.DirectoryExists(At("Programs\\小工具")));
}

TEST_P(PlatformContract, ShellLinkBytesWrittenBelowAnAnchorReadBackAsTheLink) {
  sys::Platform& p = platform();
  ASSERT_TRUE(p.ForceDirectories(At("App")));
  Write(p, At("App\\工具.exe"), "MZ");
  sys::ShellLink link;
  link.target = At("App\\工具.exe");
  link.arguments = "/s";
  link.description = "小工具";
  link.workingDirectory = At("App");
  auto bytes = p.ShellLinkBytes(link);
  ASSERT_TRUE(bytes.has_value());
  ASSERT_TRUE(p.CreateFoldersBelow(scratch(), At("Menu")));
  ASSERT_TRUE(p.WriteNewFileBelow(scratch(), At("Menu\\工具.lnk"), *bytes));
  sys::ShellLink read = ReadShellLink(At("Menu\\工具.lnk"));
  EXPECT_TRUE(sys::SameText(read.target, link.target)) << read.target;
  EXPECT_EQ(read.arguments, "/s");
  EXPECT_EQ(read.description, "小工具");
}

}  // namespace
