// build refuses a project JSON that is wrong in any way and names the offending JSON path.
#include <gtest/gtest.h>

#include <functional>

#include "tests/tools/ToolFixture.h"

namespace tooltest {
namespace {

struct BadProject {
  const char* name;
  std::function<void(Json&)> spoil;
  std::string message;  // what stderr must hold
};

void PrintTo(const BadProject& bad, std::ostream* os) { *os << bad.name; }

class ProjectJsonErrorTest : public ToolTest, public ::testing::WithParamInterface<BadProject> {};

TEST_P(ProjectJsonErrorTest, BuildFailsNamingThePath) {
  Json project = SmallProject();
  GetParam().spoil(project);
  fs::path json = WriteProject(project);
  fs::path setup = dir_ / "setup.exe";
  ToolResult result =
      Run({"build", json.string(), "--stub", Stub().string(), "-o", setup.string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(setup));
}

INSTANTIATE_TEST_SUITE_P(
    Tool, ProjectJsonErrorTest,
    ::testing::Values(
        BadProject{"UnknownField", [](Json& p) { p["files"][1]["contnet"] = "x"; },
                   "files[1].contnet: unknown field"},
        BadProject{"UnknownTopLevelField", [](Json& p) { p["setings"] = Json::array(); },
                   "setings: unknown field"},
        BadProject{"GroupAsText", [](Json& p) { p["settings"][0]["group"] = "0"; },
                   "settings[0].group: expected an integer, got string"},
        BadProject{"GroupOutOfRange", [](Json& p) { p["settings"][2]["group"] = 256; },
                   "settings[2].group: 256 is out of range 0..255"},
        BadProject{"MissingCaption", [](Json& p) { p["settings"][1].erase("caption"); },
                   "settings[1].caption: is required"},
        BadProject{"UnknownKindName", [](Json& p) { p["files"][2]["kind"] = "picture"; },
                   "files[2].kind: unknown name 'picture'"},
        BadProject{"FlagAsText", [](Json& p) { p["files"][1]["isService"] = "yes"; },
                   "files[1].isService: expected true or false, got string"},
        BadProject{"BadFileTime", [](Json& p) { p["files"][1]["fileTime"] = "2023-02-29T00:00:00"; },
                   "files[1].fileTime: expected a local date-time"},
        BadProject{"MissingContentFile",
                   [](Json& p) { p["files"][4]["content"] = "content/nothere.exe"; },
                   "files[4].content: cannot read file"},
        BadProject{"FolderWithContent",
                   [](Json& p) { p["files"][0]["content"] = "content/uninst.exe"; },
                   "files[0].content: a folder has no content"},
        BadProject{"SourceWithoutFileName", [](Json& p) { p["files"][1]["source"] = "D:\\pkg\\"; },
                   "files[1].source: must end with a file name"},
        BadProject{"SourceOfDots", [](Json& p) { p["files"][2]["source"] = "D:\\pkg\\.."; },
                   "files[2].source: must end with a file name"},
        BadProject{"DestFolderWithoutRoot",
                   [](Json& p) { p["files"][1]["destFolder"] = "C:\\Program Files\\Tool"; },
                   "files[1].destFolder: must begin with"},
        BadProject{"ComponentSourceOutsideItsFolder",
                   [](Json& p) { p["files"][3]["source"] = "D:\\elsewhere\\Rt.ini"; },
                   "files[3].source: a component file's source must lie below"},
        BadProject{"ComponentFileWithoutComponent",
                   [](Json& p) { p["components"] = Json::array(); },
                   "files[3].name: no component 'Rt' in components"},
        BadProject{"RegistryKeyWithoutRoot",
                   [](Json& p) { p["registry"][0]["key"] = U8(u8"目标计算机\\HKLM\\Software"); },
                   "registry[0].key: second part must be a registry root"},
        BadProject{"RegFolderTooShort",
                   [](Json& p) { p["regFolders"][0] = U8(u8"目标计算机\\HKEY_USERS"); },
                   "regFolders[0]: must read"},
        BadProject{"DwordNotHex", [](Json& p) { p["registry"][1]["data"] = "12G"; },
                   "registry[1].data: needs 1 to 8 hex digits"},
        BadProject{"UnknownValueType", [](Json& p) { p["registry"][2]["type"] = "REG_QWORD"; },
                   "registry[2].type: unknown name 'REG_QWORD'"},
        BadProject{"ShortcutFolderUnknown",
                   [](Json& p) { p["shortcuts"][0]["folder"] = "Programs\\"; },
                   "shortcuts[0].folder: must begin with"},
        BadProject{"ShortcutFolderListUnknown",
                   [](Json& p) { p["shortcutFolders"][0] = "Programs\\Tools"; },
                   "shortcutFolders[0]: must begin with"},
        BadProject{"MissingSerial", [](Json& p) { p.erase("serial"); }, "serial: is required"},
        BadProject{"SerialWithBraces",
                   [](Json& p) { p["serial"] = "{6F9619FF-8B86-D011-B42D-00C04FC964FF}"; },
                   "serial: must be a GUID"},
        BadProject{"SettingsNotAnArray", [](Json& p) { p["settings"] = Json::object(); },
                   "settings: expected an array, got object"},
        BadProject{"TextGbkCannotHold",
                   [](Json& p) { p["settings"][0]["value"] = U8(u8"小工具 \U0001F600"); },
                   "settings[0].value: text has characters that GBK cannot hold"},
        BadProject{"BadRawGbk", [](Json& p) { p["settings"][0]["value"] = Json{{"gbk", "C"}}; },
                   "settings[0].value.gbk: needs an even number of hex digits"},
        BadProject{"NegativeComponentSize", [](Json& p) { p["components"][0]["size"] = -1; },
                   "components[0].size: -1 is out of range"}));

TEST_F(ToolTest, SyntaxErrorNamesTheLine) {
  fs::path json = Write("broken.json", "{\n  \"serial\": \"x\",\n  \"settings\": [,]\n}\n");
  ToolResult result = Run({"build", json.string(), "--stub", Stub().string(), "-o",
                           (dir_ / "setup.exe").string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("line 3"), std::string::npos) << result.err;
}

TEST_F(ToolTest, DuplicateFieldIsRefused) {
  std::string text = WriteProject(SmallProject()).string();
  std::string json = Read(text);
  // A second "name" in the first component object.
  json.replace(json.find("\"size\": 123"), 11, "\"size\": 123, \"name\": \"Other\"");
  Write("dup.json", json);
  ToolResult result = Run({"build", (dir_ / "dup.json").string(), "--stub", Stub().string(), "-o",
                           (dir_ / "setup.exe").string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("field \"name\" is given twice"), std::string::npos) << result.err;
}

TEST_F(ToolTest, RawGbkTextIsStoredByteForByte) {
  Json project = SmallProject();
  // 0x81 0x30 is no GBK character: only the raw form can carry it.
  project["settings"][0]["value"] = Json{{"gbk", "8130"}};
  fs::path setup = BuildProject(project);
  Json output = Json::parse(Run({"inspect", setup.string()}).out);
  EXPECT_EQ(output["settings"][0]["value"], (Json{{"gbk", "8130"}}));
}

}  // namespace
}  // namespace tooltest
