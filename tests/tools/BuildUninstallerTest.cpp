// build --uninstaller: the built uninst.exe goes into the package in place of the placeholder
// the project names, and a project without an uninstaller entry is refused rather than built
// without the program the option asked for.
#include <gtest/gtest.h>

#include "tests/tools/ToolFixture.h"

namespace tooltest {
namespace {

TEST_F(ToolTest, BuildPacksTheGivenUninstallerInPlaceOfTheProjects) {
  fs::path json = WriteProject(SmallProject());
  fs::path built = Write("build/uninst.exe", "MZ the built uninstaller");
  fs::path setup = dir_ / "setup.exe";
  ToolResult result = Run({"build", json.string(), "--stub", Stub().string(), "-o",
                           setup.string(), "--uninstaller", built.string()});
  ASSERT_EQ(result.code, 0) << result.err;
  fs::path out = dir_ / "out";
  ASSERT_EQ(Run({"extract", setup.string(), out.string()}).code, 0);
  EXPECT_EQ(Read(out / "Uninstaller" / "uninst.exe"), "MZ the built uninstaller");
  // Nothing else changed: the other entries keep their content.
  EXPECT_EQ(Read(out / "Comp" / "Rt" / "Rt.ini"), Read(dir_ / "content/Rt.ini"));
  EXPECT_EQ(Read(dir_ / "content/uninst.exe"), "uninstaller");
}

TEST_F(ToolTest, BuildRefusesAnUninstallerForAProjectWithoutOne) {
  Json project = SmallProject();
  project["files"].erase(4);
  ASSERT_EQ(project["files"].size(), 5u);
  fs::path json = WriteProject(project);
  fs::path built = Write("build/uninst.exe", "MZ");
  ToolResult result = Run({"build", json.string(), "--stub", Stub().string(), "-o",
                           (dir_ / "setup.exe").string(), "--uninstaller", built.string()});
  EXPECT_EQ(result.code, 2);
  EXPECT_NE(result.err.find("no uninstaller entry"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(dir_ / "setup.exe"));
}

TEST_F(ToolTest, BuildWithAMissingUninstallerFailsAndWritesNothing) {
  fs::path json = WriteProject(SmallProject());
  ToolResult result = Run({"build", json.string(), "--stub", Stub().string(), "-o",
                           (dir_ / "setup.exe").string(), "--uninstaller",
                           (dir_ / "missing.exe").string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("missing.exe"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(dir_ / "setup.exe"));
  EXPECT_FALSE(fs::exists(dir_ / "setup.exe.partial"));
}

}  // namespace
}  // namespace tooltest
