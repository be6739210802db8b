// uninstall: its command line and its refusals; the demo's round trip is in tests/uninstaller.
#include <gtest/gtest.h>

#include "system/sandbox/SandboxPlatform.h"
#include "tests/tools/ToolFixture.h"

namespace tooltest {
namespace {

TEST_F(ToolTest, UninstallNeedsASandboxThatExists) {
  ToolResult noRoot = Run({"uninstall", "C:\\App\\uninst.exe"});
  EXPECT_EQ(noRoot.code, tool::kExitUsage);
  EXPECT_NE(noRoot.err.find("--root DIR is required"), std::string::npos);
  ToolResult missing = Run({"uninstall", "C:\\App\\uninst.exe", "--root", (dir_ / "none").string()});
  EXPECT_EQ(missing.code, tool::kExitFailure);
  EXPECT_FALSE(fs::exists(dir_ / "none"));
}

TEST_F(ToolTest, UninstallWithoutALogFailsWithItsMessage) {
  { sys::sandbox::SandboxPlatform machine(dir_ / "machine"); }
  ToolResult result = Run({"uninstall", "C:\\App\\uninst.exe", "--root", (dir_ / "machine").string()});
  EXPECT_EQ(result.code, tool::kExitFailure);
  EXPECT_NE(result.err.find(U8(u8"找不到卸载信息文件“C:\\App\\Ins.log”，无法卸载。")), std::string::npos)
      << result.err;
  EXPECT_NE(result.out.find(U8(u8"ask \"找不到卸载信息文件")), std::string::npos) << result.out;
}

}  // namespace
}  // namespace tooltest
