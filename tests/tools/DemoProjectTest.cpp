// The example product in examples/demo builds without a warning and verifies.
#include <gtest/gtest.h>

#include "tests/tools/ToolFixture.h"
#include "tools/reading/PackageFile.h"

namespace tooltest {
namespace {

TEST_F(ToolTest, DemoBuildsCleanlyAndVerifies) {
  fs::path setup = dir_ / "DemoSetup.exe";
  ToolResult built = Run({"build", SETUP_SOURCE_DIR "/examples/demo/project.json", "--stub",
                          Stub().string(), "-o", setup.string()});
  ASSERT_EQ(built.code, 0) << built.err;
  EXPECT_EQ(built.err, "");
  ToolResult verified = Run({"verify", setup.string()});
  EXPECT_EQ(verified.code, 0) << verified.err;

  tool::PackageFile file(setup);
  std::unique_ptr<TCompile> project = file.ReadProject();
  EXPECT_EQ(project->ItemName, "演示软件");
  int pageSwitches = 0;
  for (const auto& setting : project->InfoList) {
    if (setting->Group == 1 && setting->Value == "启用") ++pageSwitches;
  }
  EXPECT_EQ(pageSwitches, 10);
  std::vector<int> kinds(6);
  for (const auto& entry : project->FileList) ++kinds.at(entry->EntryKind);
  for (int kind = 0; kind < 6; ++kind) EXPECT_GT(kinds[kind], 0) << "no entry of kind " << kind;
}

TEST_F(ToolTest, FormatReferenceQuotesTheDemoProjectAsItIs) {
  std::string reference = Read(SETUP_SOURCE_DIR "/docs/project-json.md");
  std::string demo = Read(SETUP_SOURCE_DIR "/examples/demo/project.json");
  ASSERT_FALSE(demo.empty());
  EXPECT_NE(reference.find("```json\n" + demo + "```"), std::string::npos)
      << "docs/project-json.md's example differs from examples/demo/project.json";
}

}  // namespace
}  // namespace tooltest
