// build and check warn about projects that build but would misbehave, each warning naming its
// JSON path with the line and column where that path stands; --strict makes them fail.
#include <gtest/gtest.h>

#include <functional>
#include <cstdlib>

#include "tests/tools/ToolFixture.h"

namespace tooltest {
namespace {

// SmallProject with what a working wizard needs, so that it draws no warning at all.
Json CleanProject(Json project) {
  project["settings"].push_back(
      Json{{"caption", U8(u8"显示加载进度")}, {"value", U8(u8"禁用")}, {"group", 0}});
  project["settings"].push_back(
      Json{{"caption", U8(u8"显示安装背景窗口")}, {"value", U8(u8"禁用")}, {"group", 0}});
  project["settings"].push_back(
      Json{{"caption", U8(u8"安装进程")}, {"value", U8(u8"启用")}, {"group", 1}});
  project["settings"].push_back(Json{{"caption", U8(u8"默认安装路径")},
                                     {"value", "[System ProgramFiles]\\Tool"},
                                     {"group", 8}});
  return project;
}

struct Misstep {
  const char* name;
  std::function<void(Json&, ToolTest&)> spoil;
  std::string path;     // the JSON path the warning names
  std::string message;  // part of what it says
};

void PrintTo(const Misstep& misstep, std::ostream* os) { *os << misstep.name; }

class ProjectWarningTest : public ToolTest, public ::testing::WithParamInterface<Misstep> {
 public:
  // Writes a component settings file over the project's Rt.ini.
  void WriteComponentSettings(const std::string& text) { Write("content/Rt.ini", text); }
};

// The line of the file that a "file:line:column: warning: path:" message points at.
std::string PointedLine(const std::string& message, const fs::path& file, const std::string& text) {
  size_t at = message.find(file.string() + ":");
  if (at == std::string::npos) return {};
  size_t line = std::strtoul(message.c_str() + at + file.string().size() + 1, nullptr, 10);
  std::istringstream lines(text);
  std::string current;
  for (size_t i = 0; i < line; ++i) {
    if (!std::getline(lines, current)) return {};
  }
  return current;
}

TEST_F(ToolTest, TheCleanProjectDrawsNoWarning) {
  fs::path json = WriteProject(CleanProject(SmallProject()));
  ToolResult result = Run({"check", json.string(), "--strict"});
  EXPECT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_NE(result.out.find("6 entries, 0 warnings"), std::string::npos) << result.out;
}

TEST_P(ProjectWarningTest, BuildWarnsWithThePlaceAndStrictFails) {
  Json project = CleanProject(SmallProject());
  GetParam().spoil(project, *this);
  fs::path json = WriteProject(project);
  fs::path setup = dir_ / "setup.exe";

  ToolResult built = Run({"build", json.string(), "--stub", Stub().string(), "-o", setup.string()});
  EXPECT_EQ(built.code, 0) << built.err;
  EXPECT_TRUE(fs::exists(setup));
  const std::string expected = "warning: " + GetParam().path + ": ";
  size_t at = built.err.find(expected);
  ASSERT_NE(at, std::string::npos) << built.err;
  EXPECT_NE(built.err.find(GetParam().message, at), std::string::npos) << built.err;
  // The place named is where the path stands: the key of a field, the object of an element.
  std::string line = PointedLine(built.err, json, Read(json));
  std::string key = GetParam().path.substr(GetParam().path.find_last_of('.') + 1);
  if (GetParam().path.find('.') != std::string::npos) {
    EXPECT_NE(line.find("\"" + key + "\""), std::string::npos) << built.err << "\nline: " << line;
  } else {
    EXPECT_FALSE(line.empty()) << built.err;
  }

  ToolResult checked = Run({"check", json.string()});
  EXPECT_EQ(checked.code, 0);
  EXPECT_EQ(checked.err, built.err) << "check and build warn alike";

  fs::remove(setup);
  ToolResult strict =
      Run({"build", json.string(), "--stub", Stub().string(), "-o", setup.string(), "--strict"});
  EXPECT_EQ(strict.code, 1);
  EXPECT_NE(strict.err.find("with --strict: nothing written"), std::string::npos) << strict.err;
  EXPECT_FALSE(fs::exists(setup));
  EXPECT_EQ(Run({"check", json.string(), "--strict"}).code, 1);
}

Json Setting(const char8_t* caption, const char8_t* value, int group) {
  return Json{{"caption", U8(caption)}, {"value", U8(value)}, {"group", group}};
}

void EraseSetting(Json& project, const char8_t* caption) {
  Json& settings = project["settings"];
  for (size_t i = 0; i < settings.size(); ++i) {
    if (settings[i]["caption"] == U8(caption)) {
      settings.erase(i);
      return;
    }
  }
  FAIL() << "no such setting";
}

INSTANTIATE_TEST_SUITE_P(
    Tool, ProjectWarningTest,
    ::testing::Values(
        Misstep{"NoProductName", [](Json& p, ToolTest&) { EraseSetting(p, u8"项目名称"); },
                "settings", U8(u8"no product name (项目名称, group 0)")},
        Misstep{"EmptyProductName", [](Json& p, ToolTest&) { p["settings"][0]["value"] = ""; },
                "settings[0].value", "no product name"},
        Misstep{"NoLoadingSwitch", [](Json& p, ToolTest&) { EraseSetting(p, u8"显示加载进度"); },
                "settings", U8(u8"no 显示加载进度 (group 0): without it the setup unpacks none")},
        Misstep{"NoBackgroundSwitch",
                [](Json& p, ToolTest&) { EraseSetting(p, u8"显示安装背景窗口"); }, "settings",
                U8(u8"no 显示安装背景窗口 (group 0): without it the wizard never opens")},
        Misstep{"MisspeltCaption",
                [](Json& p, ToolTest&) { p["settings"][0]["caption"] = U8(u8"项目名程"); },
                "settings[0].caption", U8(u8"did you mean '项目名称'?")},
        Misstep{"CaptionOfAnotherGroup", [](Json& p, ToolTest&) { p["settings"][2]["group"] = 5; },
                "settings[2].caption", U8(u8"'协议文件' is no caption of group 5")},
        Misstep{"GroupNobodyReads", [](Json& p, ToolTest&) { p["settings"][2]["group"] = 4; },
                "settings[2].group", "group 4 is read by nothing"},
        Misstep{"WizardWithoutPages",
                [](Json& p, ToolTest&) {
                  EraseSetting(p, u8"欢迎");
                  EraseSetting(p, u8"安装进程");
                },
                "settings", "no page is switched on"},
        Misstep{"WizardWithoutProgressPage",
                [](Json& p, ToolTest&) { EraseSetting(p, u8"安装进程"); }, "settings",
                U8(u8"no 安装进程 page (group 1): it never installs anything")},
        Misstep{"NoDefaultInstallPath",
                [](Json& p, ToolTest&) { EraseSetting(p, u8"默认安装路径"); }, "settings",
                U8(u8"no default install path (默认安装路径, group 8)")},
        Misstep{"NoUninstaller", [](Json& p, ToolTest&) { p["files"].erase(4); }, "files",
                "no uninstaller entry"},
        Misstep{"LicencePageWithoutLicence",
                [](Json& p, ToolTest&) {
                  p["settings"].push_back(Setting(u8"安装协议", u8"启用", 1));
                  EraseSetting(p, u8"协议文件");
                },
                "settings[6]", "the licence page is on but no licence file is named"},
        Misstep{"ReadmePageWithoutReadme",
                [](Json& p, ToolTest&) {
                  p["settings"].push_back(Setting(u8"软件使用说明", u8"启用", 1));
                },
                "settings[7]", "the readme page is on but no readme file is named"},
        Misstep{"SettingNamesNoResource",
                [](Json& p, ToolTest&) { p["settings"][2]["value"] = "D:\\pkg\\licence2.txt"; },
                "settings[2].value", "is not the source of any resource entry"},
        Misstep{"AppFileNamesNoFile",
                [](Json& p, ToolTest&) {
                  p["settings"].push_back(Setting(u8"应用程序文件", u8"D:\\pkg\\tol.exe", 12));
                },
                "settings[7].value", "'D:\\pkg\\tol.exe' is not the source of any file entry"},
        Misstep{"TwoFilesForOnePlace",
                [](Json& p, ToolTest&) {
                  Json copy = p["files"][1];
                  copy["source"] = "D:\\other\\TOOL.exe";
                  copy["destFolder"] = U8(u8"目标计算机\\Program Files\\Tool");
                  p["files"].push_back(copy);
                },
                "files[6]", "installs to the same place as files[1]"},
        Misstep{"ShortcutToAFileNotInstalled",
                [](Json& p, ToolTest&) { p["shortcuts"][0]["target"] = "D:\\pkg\\tol.exe"; },
                "shortcuts[0].target", "is not the source of any file entry"},
        Misstep{"ComponentWithoutSettingsFile",
                [](Json& p, ToolTest&) {
                  p["files"][3]["source"] = U8(u8"D:\\pkg\\组件\\Rt.cfg");
                },
                "components[0]", "has no file 'Rt.ini' among its files"},
        Misstep{"ComponentMarkerWithOneBackslash",
                [](Json&, ToolTest& t) {
                  static_cast<ProjectWarningTest&>(t).WriteComponentSettings(
                      "[RegistryList]\r\nRegtype=Copy\r\n[SysDirList]\r\n"
                      "Rt.ini=[System Directory]\\Rt.ini\r\n");
                },
                "files[3]", "the marker is [System Directory]\\\\ with two backslashes"},
        Misstep{"ComponentCopiesAFileItLacks",
                [](Json&, ToolTest& t) {
                  static_cast<ProjectWarningTest&>(t).WriteComponentSettings(
                      "[RegistryList]\r\nRegtype=Copy\r\n[SysDirList]\r\n"
                      "rt.dll=[System Directory]\\\\rt.dll\r\n");
                },
                "files[3]", "[SysDirList] 'rt.dll' names no file of the component"},
        Misstep{"ComponentRunsAProgramItLacks",
                [](Json&, ToolTest& t) {
                  static_cast<ProjectWarningTest&>(t).WriteComponentSettings(
                      "[RegistryList]\r\nRegtype=System\r\n[Option]\r\nExeFile=setup.exe\r\n");
                },
                "files[3]", "ExeFile='setup.exe' names no file of the component"}));

}  // namespace
}  // namespace tooltest
