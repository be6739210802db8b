// The command line: usage texts, exit codes 0 / 1 / 2.
#include <gtest/gtest.h>

#include "package/uCommon.h"
#include "tests/support/PackageBuilder.h"
#include "tests/tools/ToolFixture.h"

namespace tooltest {
namespace {

TEST_F(ToolTest, NoCommandPrintsUsageAndExitsTwo) {
  ToolResult result = Run({});
  EXPECT_EQ(result.code, 2);
  EXPECT_NE(result.err.find("usage: setup-tool [-q|-v] COMMAND"), std::string::npos);
  for (const char* command : {"build", "inspect", "verify", "extract"}) {
    EXPECT_NE(result.err.find(std::string("  ") + command), std::string::npos) << command;
  }
}

TEST_F(ToolTest, UnknownCommandExitsTwo) {
  ToolResult result = Run({"bulid"});
  EXPECT_EQ(result.code, 2);
  EXPECT_NE(result.err.find("unknown command 'bulid'"), std::string::npos);
}

TEST_F(ToolTest, EveryCommandHasHelp) {
  for (const tool::Command* command : tool::Commands()) {
    ToolResult result = Run({command->name, "--help"});
    EXPECT_EQ(result.code, 0) << command->name;
    EXPECT_EQ(result.out.rfind(std::string("usage: setup-tool ") + command->name, 0), 0u)
        << result.out;
  }
}

TEST_F(ToolTest, HelpCommandShowsOneCommandsUsage) {
  ToolResult result = Run({"help", "verify"});
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.out.rfind("usage: setup-tool verify SETUP", 0), 0u) << result.out;
}

TEST_F(ToolTest, MissingOptionIsAUsageError) {
  fs::path json = WriteProject(SmallProject());
  ToolResult result = Run({"build", json.string(), "-o", (dir_ / "x.exe").string()});
  EXPECT_EQ(result.code, 2);
  EXPECT_NE(result.err.find("--stub EXE is required"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("usage: setup-tool build"), std::string::npos);
}

TEST_F(ToolTest, UnknownOptionAndExtraArgumentsAreUsageErrors) {
  EXPECT_EQ(Run({"verify", "a.exe", "--fast"}).code, 2);
  EXPECT_EQ(Run({"verify", "a.exe", "b.exe"}).code, 2);
  EXPECT_EQ(Run({"extract", "a.exe"}).code, 2);
  EXPECT_EQ(Run({"build", "p.json", "--stub"}).code, 2);
}

TEST_F(ToolTest, MissingFileIsAFailureNamedInUtf8) {
  const std::string missing = (dir_ / U8(u8"安装包.exe")).string();
  ToolResult result = Run({"inspect", missing});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("cannot open '" + missing + "'"), std::string::npos) << result.err;
}

TEST_F(ToolTest, RuntimeErrorTextsArrivePrintedInUtf8) {
  // A configuration whose first count promises more settings than the block holds: the
  // runtime's reader refuses it with its own GBK message.
  testsupport::PackageBuilder builder;
  builder.Setting("项目名称", "x");
  fs::path setup = dir_ / "setup.exe";
  const packager::WrittenPackage written = builder.WriteToHost(setup);
  std::string bytes = Read(setup);
  std::string config = package::CompressChunk(std::string("\xFF\xFF\x00\x00", 4), cplDefault);
  std::string tail;
  for (int i = 0; i < 4; ++i) tail += static_cast<char>(config.size() >> (8 * i));
  bytes = bytes.substr(0, static_cast<size_t>(written.directoryOffset)) + tail + config +
          bytes.substr(bytes.size() - 16);
  std::ofstream(setup, std::ios::binary | std::ios::trunc) << bytes;
  ToolResult result = Run({"inspect", setup.string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find(U8(u8"安装包已损坏")), std::string::npos) << result.err;
}

}  // namespace
}  // namespace tooltest
