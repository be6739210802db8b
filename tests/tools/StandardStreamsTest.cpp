// "-" as a file argument: the commands that read a setup program, a log or a project take it
// from standard input, and those that write one file write it to standard output; the copy of
// standard input a command seeks in is gone afterwards.
#include <gtest/gtest.h>

#include "tests/tools/ToolFixture.h"

namespace tooltest {
namespace {

class StandardStreamsTest : public ToolTest {
 protected:
  // Runs the tool with bytes on standard input; what it writes to standard output lands in
  // stdoutBytes.
  ToolResult RunWithInput(const std::string& input, const std::vector<std::string>& args,
                          std::string* stdoutBytes = nullptr) {
    ScopedStandardInput scoped(input);
    testing::internal::CaptureStdout();
    ToolResult result = Run(args);
    std::string captured = testing::internal::GetCapturedStdout();
    if (stdoutBytes) *stdoutBytes = captured;
    return result;
  }

  static size_t StandardInputCopies() {
    size_t count = 0;
    for (const auto& item : fs::directory_iterator(fs::temp_directory_path())) {
      count += item.path().filename().string().rfind("setup-tool-stdin-", 0) == 0;
    }
    return count;
  }
};

TEST_F(StandardStreamsTest, InspectAndVerifyReadTheSetupProgramFromStandardInput) {
  const size_t copiesBefore = StandardInputCopies();
  fs::path setup = BuildProject(SmallProject());
  const std::string bytes = Read(setup);

  ToolResult fromFile = Run({"inspect", setup.string()});
  ToolResult fromInput = RunWithInput(bytes, {"inspect", "-"});
  ASSERT_EQ(fromInput.code, 0) << fromInput.err;
  EXPECT_EQ(fromInput.out, fromFile.out);

  ToolResult verified = RunWithInput(bytes, {"verify", "-"});
  EXPECT_EQ(verified.code, 0) << verified.err;
  EXPECT_EQ(verified.out.rfind("OK: 6 entries", 0), 0u) << verified.out;

  // A fault names standard input, never the temporary copy.
  ToolResult shortInput = RunWithInput("MZ", {"verify", "-"});
  EXPECT_EQ(shortInput.code, 1);
  EXPECT_NE(shortInput.err.find("'standard input' is shorter than a package trailer"),
            std::string::npos)
      << shortInput.err;
  EXPECT_EQ(StandardInputCopies(), copiesBefore);
}

TEST_F(StandardStreamsTest, ExtractTakesOneEntryToStandardOutputOrAFile) {
  fs::path setup = BuildProject(SmallProject());
  std::string written;
  ToolResult toOutput =
      RunWithInput("", {"extract", setup.string(), "--entry", "1", "-o", "-"}, &written);
  ASSERT_EQ(toOutput.code, 0) << toOutput.err;
  EXPECT_TRUE(written == PatternBytes(20000)) << "entry 1 is tool.exe, " << written.size();
  // The status line keeps off standard output.
  EXPECT_NE(toOutput.err.find("extracted entry 1 (tool.exe) to -: 20000 bytes"),
            std::string::npos)
      << toOutput.err;

  ToolResult toFile = RunWithInput(Read(setup), {"extract", "-", "--entry", "2", "-o",
                                                 (dir_ / "licence.txt").string()});
  ASSERT_EQ(toFile.code, 0) << toFile.err;
  EXPECT_EQ(Read(dir_ / "licence.txt"), Read(dir_ / "content/licence.txt"));

  ToolResult whole = RunWithInput(Read(setup), {"extract", "-", (dir_ / "out").string()});
  ASSERT_EQ(whole.code, 0) << whole.err;
  EXPECT_TRUE(fs::exists(dir_ / "out/project.json"));

  struct Refused {
    std::vector<std::string> args;
    int code;
    std::string message;
  };
  const Refused refused[] = {
      {{"--entry", "0", "-o", "-"}, 1, "entry 0 (cache) is a folder: it has no content"},
      {{"--entry", "6", "-o", "-"}, 1, "there is no entry 6: the package has 6"},
      {{"--entry", "-1", "-o", "-"}, 2, "--entry takes an entry's index"},
      {{"--entry", "1"}, 2, "--entry N needs -o FILE"},
      {{"DIR", "-o", "x"}, 2, "-o goes with --entry N"},
  };
  for (const Refused& item : refused) {
    std::vector<std::string> args = {"extract", setup.string()};
    args.insert(args.end(), item.args.begin(), item.args.end());
    std::string out;
    ToolResult result = RunWithInput("", args, &out);
    EXPECT_EQ(result.code, item.code) << item.message;
    EXPECT_NE(result.err.find(item.message), std::string::npos) << result.err;
    EXPECT_EQ(out, "") << item.message;
  }
}

TEST_F(StandardStreamsTest, InitWritesAProjectThatBuildReadsFromStandardInput) {
  Write("product/app.exe", PatternBytes(3000));
  Write("product/doc/readme.txt", "readme");
  Write("uninst.exe", "uninstaller");
  const fs::path cwd = fs::current_path();
  fs::current_path(dir_);
  ToolResult init = RunWithInput("", {"init", "product", "-o", "-", "--name", "App",
                                      "--uninstaller", "uninst.exe"});
  const std::string project = init.out;
  std::string setup;
  ToolResult build = RunWithInput(project, {"build", "-", "--stub", Stub().string(), "-o", "-"},
                                  &setup);
  fs::current_path(cwd);
  ASSERT_EQ(init.code, 0) << init.err;
  EXPECT_NE(init.err.find("wrote -: "), std::string::npos) << init.err;
  EXPECT_EQ(Json::parse(project)["files"][0]["content"], "product");
  ASSERT_EQ(build.code, 0) << build.err;
  Write("built.exe", setup);
  ToolResult verified = Run({"verify", (dir_ / "built.exe").string()});
  EXPECT_EQ(verified.code, 0) << verified.out << verified.err;
}

TEST_F(StandardStreamsTest, SimulateAndInslogReadFromStandardInput) {
  Json project = SmallProject();
  project["settings"].push_back(Json{{"caption", U8(u8"显示安装界面")}, {"value", U8(u8"禁用")}, {"group", 0}});
  project["settings"].push_back(
      Json{{"caption", U8(u8"默认安装路径")}, {"value", "[System ProgramFiles]\\Tool"}, {"group", 8}});
  fs::path setup = BuildProject(project);
  const fs::path root = dir_ / "machine";
  std::string transcript;
  ToolResult simulated =
      RunWithInput(Read(setup), {"simulate", "-", "--root", root.string()}, &transcript);
  ASSERT_EQ(simulated.code, 0) << simulated.err << transcript;
  const fs::path installed = root / "drive_c/Program Files/Tool/tool.exe";
  ASSERT_TRUE(fs::exists(installed)) << transcript;
  EXPECT_EQ(Read(installed), PatternBytes(20000));

  const fs::path log = root / "drive_c/Program Files/Tool/Ins.log";
  ASSERT_TRUE(fs::exists(log)) << transcript;
  ToolResult fromInput = RunWithInput(Read(log), {"inslog", "-"});
  ToolResult fromFile = Run({"inslog", log.string()});
  ASSERT_EQ(fromInput.code, 0) << fromInput.err;
  EXPECT_EQ(fromInput.out, fromFile.out);
}

TEST_F(StandardStreamsTest, StandardInputIsReadOnce) {
  fs::path setup = BuildProject(SmallProject());
  const std::vector<std::string> twice[] = {
      {"build", "-", "--stub", "-", "-o", (dir_ / "x.exe").string()},
      {"simulate", "-", "--root", (dir_ / "m").string(), "--answers", "-"},
  };
  for (const auto& args : twice) {
    ToolResult result = RunWithInput("", args);
    EXPECT_EQ(result.code, 2) << args[0];
    EXPECT_NE(result.err.find("only one argument can be \"-\""), std::string::npos) << result.err;
  }
  EXPECT_FALSE(fs::exists(dir_ / "x.exe"));
}

}  // namespace
}  // namespace tooltest
