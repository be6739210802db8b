// extract: content under DIR in the documented layout, a project.json that rebuilds the same
// package, and no write outside DIR whatever the package's names say.
#include <gtest/gtest.h>

#include "tests/support/PackageBuilder.h"
#include "tests/tools/ToolFixture.h"

namespace tooltest {
namespace {

TEST_F(ToolTest, ExtractWritesEveryEntrysContent) {
  fs::path setup = BuildProject(SmallProject());
  fs::path out = dir_ / "out";
  ToolResult result = Run({"extract", setup.string(), out.string()});
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(Read(out / "files" / U8(u8"目标计算机") / "Program Files" / "Tool" / "tool.exe"),
            PatternBytes(20000));
  EXPECT_EQ(Read(out / "Info" / "licence.txt"), Read(dir_ / "content/licence.txt"));
  EXPECT_EQ(Read(out / "Comp" / "Rt" / "Rt.ini"), Read(dir_ / "content/Rt.ini"));
  EXPECT_EQ(Read(out / "Uninstaller" / "uninst.exe"), "uninstaller");
  EXPECT_TRUE(fs::is_regular_file(out / "files" / U8(u8"目标计算机") / "Windows" / "empty.dat"));
}

TEST_F(ToolTest, ExtractedProjectRebuildsTheSamePackage) {
  fs::path setup = BuildProject(SmallProject());
  fs::path out = dir_ / "out";
  ASSERT_EQ(Run({"extract", setup.string(), out.string()}).code, 0);
  fs::path again = dir_ / "again.exe";
  ToolResult rebuilt = Run({"build", (out / "project.json").string(), "--stub",
                            (dir_ / "stub.exe").string(), "-o", again.string()});
  ASSERT_EQ(rebuilt.code, 0) << rebuilt.err;
  EXPECT_TRUE(Read(again) == Read(setup));
}

TEST_F(ToolTest, ExtractKeepsEntriesOfTheSameNameApart) {
  testsupport::PackageBuilder builder;
  builder.AddResource("D:\\a\\title.bmp", "first");
  builder.AddResource("D:\\b\\title.bmp", "second");
  fs::path setup = dir_ / "setup.exe";
  builder.WriteToHost(setup);
  fs::path out = dir_ / "out";
  ASSERT_EQ(Run({"extract", setup.string(), out.string()}).code, 0);
  EXPECT_EQ(Read(out / "Info" / "title.bmp"), "first");
  EXPECT_EQ(Read(out / "Info" / "title~1.bmp"), "second");
}

// Every file below root, relative to it.
std::vector<std::string> FilesBelow(const fs::path& root) {
  std::vector<std::string> files;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    if (item.is_regular_file()) files.push_back(fs::relative(item.path(), root).generic_string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST_F(ToolTest, ExtractRefusesNamesThatLeaveTheFolder) {
  testsupport::PackageBuilder builder;
  builder.AddFile("D:\\x\\ok.txt", "目标计算机\\Program Files\\T\\", "ok");
  builder.AddResource("D:\\x\\..", "bad1");
  builder.AddFile("D:\\x\\evil.txt", "目标计算机\\Program Files\\..\\..\\..\\..\\..\\escape\\",
                  "bad2");
  builder.AddComponentFile("..", "D:\\c", "D:\\c\\a.dll", "bad3");
  builder.AddComponentFile("C1", "D:\\c", "D:\\c\\..\\..\\..\\b.dll", "bad4");
  builder.AddRegFile("D:\\x\\a.reg:stream", "bad5");
  builder.AddUninstaller("D:\\x\\..\\", "bad6");
  fs::path base = dir_ / "base";
  fs::create_directories(base);
  fs::path setup = dir_ / "setup.exe";
  builder.WriteToHost(setup);

  fs::path out = base / "deep" / "out";
  ToolResult result = Run({"extract", setup.string(), out.string()});
  EXPECT_EQ(result.code, 1);
  for (int entry = 1; entry <= 6; ++entry) {
    EXPECT_NE(result.err.find("entry " + std::to_string(entry) + " ("), std::string::npos)
        << entry << ": " << result.err;
  }
  EXPECT_EQ(result.err.find("entry 0 ("), std::string::npos) << result.err;
  std::vector<std::string> expected = {
      "deep/out/files/" + U8(u8"目标计算机") + "/Program Files/T/ok.txt",
      "deep/out/project.json"};
  EXPECT_EQ(FilesBelow(base), expected);
  EXPECT_FALSE(fs::exists(dir_ / "escape"));
}

TEST_F(ToolTest, ExtractMapsADriveOfAnAbsoluteDestinationToAFolder) {
  testsupport::PackageBuilder builder;
  builder.AddFile("D:\\x\\abs.txt", "指定目录\\C:\\Tools\\", "abs");
  fs::path setup = dir_ / "setup.exe";
  builder.WriteToHost(setup);
  fs::path out = dir_ / "out";
  ASSERT_EQ(Run({"extract", setup.string(), out.string()}).code, 0);
  EXPECT_EQ(Read(out / "files" / U8(u8"指定目录") / "C" / "Tools" / "abs.txt"), "abs");
}

}  // namespace
}  // namespace tooltest
