// Component packages: finding a component's files, running its setup program or copying its
// files into the Windows folder, as its settings file says.
#include "engine/ComponentStep.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "package/uSystem.h"
#include "tests/support/host/SandboxHost.h"

namespace {

const char* const kComp = "C:\\Temp\\Comp\\VC\\";

class ComponentStep : public testing::Test {
 protected:
  // A kind-3 entry of compName already unpacked at path (with content, when given).
  void AddFile(const std::string& compName, const std::string& path,
               const std::string* content = nullptr, uint8_t kind = package::kEntryComponentFile) {
    auto entry = std::make_unique<TCompileFileData>();
    entry->EntryName = compName;
    entry->SourcePath = path;
    entry->EntryKind = kind;
    compile_.FileList.push_back(std::move(entry));
    if (content) host_.WriteFile(path, *content);
  }
  void AddFile(const std::string& compName, const std::string& path, const std::string& content) {
    AddFile(compName, path, &content);
  }
  void AddComponent(const std::string& name) {
    auto comp = std::make_unique<TCompileCompData>();
    comp->CompName = name;
    compile_.CompList.push_back(std::move(comp));
  }
  std::vector<nlohmann::json> ShellRuns() {
    std::vector<nlohmann::json> runs;
    for (const auto& line : host_.Journal()) {
      if (line["op"] == "shellRunAndWait") runs.push_back(line);
    }
    return runs;
  }

  testsupport::SandboxHost host_;
  sys::sandbox::SandboxPlatform& platform_ = host_.platform();
  sys::ScopedCurrentPlatform current_{host_.platform()};
  TCompile compile_{host_.platform()};
};

TEST_F(ComponentStep, FindMatchesKindNameAndAPartOfThePathIgnoringAsciiCase) {
  AddFile("VC", "C:\\T\\VC\\Setup.INI", nullptr, package::kEntryResource);
  AddFile("Other", "C:\\T\\Other\\setup.ini");
  AddFile("vc", "C:\\T\\VC\\xSetup.INI");
  AddFile("VC", "C:\\T\\VC\\setup.ini");
  EXPECT_EQ(FindComponentFile(compile_, "VC", "setup.ini"), "C:\\T\\VC\\xSetup.INI");
  EXPECT_EQ(FindComponentFile(compile_, "VC", "nothing"), "");
  EXPECT_EQ(FindComponentFile(compile_, "VC", ""), "");
  EXPECT_EQ(FindComponentFile(compile_, "Missing", "setup.ini"), "");
}

TEST_F(ComponentStep, SystemRegtypeRunsTheSetupProgramAndWaits) {
  AddComponent("VC");
  AddFile("VC", std::string(kComp) + "VC.ini", "[RegistryList]\r\nRegtype=System\r\n[Option]\r\nExeFile=vcsetup.exe\r\n");
  AddFile("VC", std::string(kComp) + "bin\\vcsetup.exe", "MZ");
  InstallComponents(compile_);
  auto runs = ShellRuns();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0]["file"], std::string(kComp) + "bin\\vcsetup.exe");
  EXPECT_EQ(runs[0]["verb"], "");
  EXPECT_EQ(runs[0]["parameters"], "");
  EXPECT_EQ(runs[0]["show"], 1);
}

TEST_F(ComponentStep, SettingsWithoutRegistryListRunTheProgram) {
  AddComponent("VC");
  AddFile("VC", std::string(kComp) + "VC.ini", "[Option]\r\nExeFile=vcsetup.exe\r\n");
  AddFile("VC", std::string(kComp) + "vcsetup.exe", "MZ");
  InstallComponents(compile_);
  EXPECT_EQ(ShellRuns().size(), 1u);
}

TEST_F(ComponentStep, ProgramThatIsNotThereIsNotRun) {
  AddComponent("VC");
  AddFile("VC", std::string(kComp) + "VC.ini", "[Option]\r\nExeFile=vcsetup.exe\r\n");
  AddFile("VC", std::string(kComp) + "vcsetup.exe");  // listed, never unpacked
  AddComponent("NoSettings");
  AddFile("NoSettings", "C:\\Temp\\Comp\\NoSettings\\x.exe", "MZ");
  InstallComponents(compile_);
  EXPECT_TRUE(ShellRuns().empty());
}

TEST_F(ComponentStep, LowerCaseSystemCopiesIntoTheWindowsFolder) {
  AddComponent("VC");
  AddFile("VC", std::string(kComp) + "VC.ini",
          "[RegistryList]\r\nRegtype=system\r\n[Option]\r\nExeFile=vcsetup.exe\r\n"
          "[SysDirList]\r\nx.dll=[System Directory]\\\\x.dll\r\ny.dll=[System Directory]\\\\y.dll\r\n");
  AddFile("VC", std::string(kComp) + "vcsetup.exe", "MZ");
  AddFile("VC", std::string(kComp) + "x.dll", "new x");
  AddFile("VC", std::string(kComp) + "y.dll", "new y");
  const std::string windows = platform_.WindowsDirectory();
  host_.WriteFile(windows + "\\y.dll", "old y");
  InstallComponents(compile_);
  EXPECT_TRUE(ShellRuns().empty());
  EXPECT_EQ(host_.ReadFile(windows + "\\x.dll"), "new x");
  EXPECT_EQ(host_.ReadFile(windows + "\\y.dll"), "old y");
}

TEST_F(ComponentStep, TargetWithoutTheMarkerIsUsedAsItIs) {
  AddComponent("VC");
  AddFile("VC", std::string(kComp) + "VC.ini", "[RegistryList]\r\nRegtype=Copy\r\n[SysDirList]\r\na.dat=C:\\Data\\a.dat\r\nempty.dat=\r\n");
  AddFile("VC", std::string(kComp) + "a.dat", "A");
  AddFile("VC", std::string(kComp) + "empty.dat", "E");
  platform_.ForceDirectories("C:\\Data");
  InstallComponents(compile_);
  EXPECT_EQ(host_.ReadFile("C:\\Data\\a.dat"), "A");
}

TEST_F(ComponentStep, MarkerIsMatchedInExactCase) {
  AddFile("VC", std::string(kComp) + "x.dll", "X");
  CopyToWindowsDir(platform_, std::string(kComp) + "x.dll", "[system directory]\\\\x.dll");
  EXPECT_FALSE(platform_.FileExists(platform_.WindowsDirectory() + "\\x.dll"));
  CopyToWindowsDir(platform_, std::string(kComp) + "x.dll", "[System Directory]\\\\x.dll");
  EXPECT_TRUE(platform_.FileExists(platform_.WindowsDirectory() + "\\x.dll"));
}

TEST_F(ComponentStep, MarkerInsideTheTargetStillNamesAPathBelowTheWindowsFolder) {
  AddFile("VC", std::string(kComp) + "x.dll", "X");
  CopyToWindowsDir(platform_, std::string(kComp) + "x.dll", "C:\\Other\\[System Directory]\\\\x.dll");
  EXPECT_EQ(host_.ReadFile(platform_.WindowsDirectory() + "\\x.dll"), "X");
}

TEST_F(ComponentStep, TwoComponentsUnderOneNameEachTakeTheFirstMatchingFile) {
  AddComponent("Shared");
  AddComponent("Shared");
  AddFile("Shared", "C:\\Temp\\Comp\\Shared\\Shared.ini", "[Option]\r\nExeFile=setup.exe\r\n");
  AddFile("Shared", "C:\\Temp\\Comp\\Shared\\one\\setup.exe", "MZ");
  AddFile("Shared", "C:\\Temp\\Comp\\Shared\\two\\setup.exe", "MZ");
  InstallComponents(compile_);
  auto runs = ShellRuns();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0]["file"], "C:\\Temp\\Comp\\Shared\\one\\setup.exe");
  EXPECT_EQ(runs[1]["file"], "C:\\Temp\\Comp\\Shared\\one\\setup.exe");
}

TEST_F(ComponentStep, RunAndWaitReportsWhetherTheProgramStarted) {
  EXPECT_TRUE(RunAndWait(platform_, "C:\\x.exe", "/q"));
  auto runs = ShellRuns();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0]["parameters"], "/q");
}

}  // namespace
