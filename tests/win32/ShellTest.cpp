// Shell links and verbs on the real shell: what the contract cannot check portably (the show
// command bytes of a minimised link, Chinese texts under a non-Chinese code page, the verbs
// Wine's Chinese shell offers).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "system/Gbk.h"
#include "system/Platform.h"
#include "system/win32/Win32Platform.h"
#include "tests/support/win32/KeepFreedMemory.h"
#include "tests/support/win32/ScratchFolder.h"
#include "tests/support/win32/ShellLinkReader.h"

namespace sys::win32 {
namespace {

constexpr int kSwShowMinNoActive = 7;

void Touch(Platform& platform, const std::string& path) {
  platform.CreateForWrite(path)->Write("MZ", 2);
}

// Named CodePage so that the code page 1252 run covers it too.
TEST(CodePage, ShellLinkKeepsChineseTextsAndItsShowCommand) {
  tests::ScratchFolder scratch;
  Win32Platform platform;
  std::string folder = scratch.path() + "\\程序";
  ASSERT_TRUE(platform.ForceDirectories(folder));
  Touch(platform, folder + "\\应用.exe");
  ShellLink link;
  link.target = folder + "\\应用.exe";
  link.arguments = "/参数";
  link.description = "说明文字";
  link.workingDirectory = folder + "\\";
  link.showCommand = kSwShowMinNoActive;
  ASSERT_TRUE(platform.WriteShellLink(scratch.path() + "\\快捷方式.lnk", link));

  ShellLink back = tests::ReadShellLink(scratch.path() + "\\快捷方式.lnk");
  EXPECT_TRUE(SameText(back.target, link.target)) << back.target;
  EXPECT_EQ(back.arguments, link.arguments);
  EXPECT_EQ(back.description, link.description);
  EXPECT_EQ(back.showCommand, kSwShowMinNoActive);
}

TEST(ShellVerbs, ChineseShellOffersItsOpenVerbInGbk) {
  if (GetACP() != 936) GTEST_SKIP() << "verb texts follow the shell's language";
  tests::ScratchFolder scratch;
  Win32Platform platform;
  std::string file = scratch.path() + "\\文档.txt";
  Touch(platform, file);
  std::vector<std::string> names;
  tests::KeepFreedMemory keep;
  platform.ForEachShellVerb(file, [&](const std::string& name) {
    names.push_back(name);
    return false;
  });
  bool open = false;
  for (const std::string& name : names) open = open || ContainsText(name, "打开");
  EXPECT_TRUE(open) << "verbs seen: " << names.size();
}

TEST(ShellVerbs, ItemInAMissingFolderIsIgnored) {
  Win32Platform platform;
  int offered = 0;
  platform.ForEachShellVerb("C:\\no\\such\\folder\\app.lnk", [&](const std::string&) {
    ++offered;
    return true;
  });
  EXPECT_EQ(offered, 0);
}

}  // namespace
}  // namespace sys::win32
