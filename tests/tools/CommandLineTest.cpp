// What people expect of a command line: --version, -q and -v anywhere, "-" for standard input
// and output; and the docs' table of what an answers file can reach is the program's own.
#include <gtest/gtest.h>

#include <iostream>
#include <regex>
#include <set>

#include "tests/tools/ToolFixture.h"
#include "tools/simulation/ScriptablePages.h"

namespace tooltest {
namespace {

TEST_F(ToolTest, VersionIsPrinted) {
  ToolResult result = Run({"--version"});
  EXPECT_EQ(result.code, 0);
  EXPECT_TRUE(std::regex_match(result.out, std::regex("setup-tool \\d+\\.\\d+\\.\\d+\n"))) << result.out;
}

TEST_F(ToolTest, QuietAndVerboseChangeOnlyTheStatus) {
  fs::path json = WriteProject(SmallProject());
  auto build = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = {"build", json.string(), "--stub", Stub().string(), "-o",
                                     (dir_ / "setup.exe").string()};
    args.insert(args.end(), extra.begin(), extra.end());
    return Run(args);
  };
  ToolResult normal = build({});
  ToolResult quiet = build({"-q"});
  ToolResult verbose = build({"--verbose"});
  ASSERT_EQ(normal.code, 0);
  ASSERT_EQ(quiet.code, 0);
  ASSERT_EQ(verbose.code, 0);
  EXPECT_NE(normal.out.find("wrote "), std::string::npos);
  EXPECT_NE(normal.err.find("warning: "), std::string::npos) << "the small project has warnings";
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err, "");
  EXPECT_NE(verbose.out.find("  files[1] D:\\pkg\\tool.exe: 20000 bytes, "), std::string::npos)
      << verbose.out;
  // Quiet still says why --strict failed.
  ToolResult strict = build({"-q", "--strict"});
  EXPECT_EQ(strict.code, 1);
  EXPECT_NE(strict.err.find("warning: "), std::string::npos);
}

TEST_F(ToolTest, AProjectFromStandardInputAndASetupProgramToStandardOutput) {
  SmallProject();  // writes the content files
  const std::string project = SmallProject().dump();
  fs::path file = BuildProject(SmallProject());
  // Content paths of a project on standard input are relative to the current folder.
  fs::path cwd = fs::current_path();
  fs::current_path(dir_);
  ToolResult result;
  std::string written;
  {
    ScopedStandardInput input(project);
    testing::internal::CaptureStdout();
    result = Run({"build", "-", "--stub", Stub().string(), "-o", "-"});
    written = testing::internal::GetCapturedStdout();
  }
  fs::current_path(cwd);
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_TRUE(written == Read(file)) << "standard output holds the same setup program";
  EXPECT_NE(result.err.find("wrote -: 6 entries"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(dir_ / "-"));
}

// The table in docs/simulate.md lists every page and exactly the controls a person can set.
TEST(ToolDocs, TheAnswersFileTableIsThePagesOwn) {
  std::string docs;
  {
    std::ifstream file(SETUP_SOURCE_DIR "/docs/simulate.md");
    std::stringstream text;
    text << file.rdbuf();
    docs = text.str();
  }
  ASSERT_EQ(tool::ScriptablePages().size(), 10u);
  for (const tool::ScriptablePage& page : tool::ScriptablePages()) {
    size_t row = docs.find("| `" + page.className + "` |");
    ASSERT_NE(row, std::string::npos) << page.className;
    std::string line = docs.substr(row, docs.find('\n', row) - row);
    std::string controls = line.substr(line.rfind(" | ") + 3);
    std::set<std::string> documented, actual;
    std::regex name("`([A-Za-z_0-9]+)`");
    for (std::sregex_iterator it(controls.begin(), controls.end(), name), end; it != end; ++it) {
      documented.insert((*it)[1]);
    }
    for (const tool::ScriptableControl& control : page.controls) actual.insert(control.name);
    EXPECT_EQ(documented, actual) << page.className;
  }
}

}  // namespace
}  // namespace tooltest
