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
        BadProject{"MisspeltFieldIsReportedBeforeTheValueItLeavesOut",
                   [](Json& p) {
                     p["files"][1]["destFoldr"] = p["files"][1]["destFolder"];
                     p["files"][1].erase("destFolder");
                   },
                   "files[1].destFoldr: unknown field (did you mean \"destFolder\"?)"},
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
        BadProject{"DestFolderLeavingItsRoot",
                   [](Json& p) {
                     p["files"][1]["destFolder"] = U8(u8"目标计算机\\Program Files\\..\\..\\Windows\\");
                   },
                   "files[1].destFolder: must not hold \".\" or \"..\""},
        BadProject{"FolderListLeavingItsRoot",
                   [](Json& p) { p["fileFolders"][1] = U8(u8"目标计算机\\Windows\\a\\..\\..\\x"); },
                   "fileFolders[1]: must not hold"},
        BadProject{"DestFolderAbsoluteAfterItsRoot",
                   [](Json& p) {
                     p["files"][1]["destFolder"] = U8(u8"目标计算机\\Program Files\\C:\\Windows");
                   },
                   "files[1].destFolder: must go on with a relative path"},
        BadProject{"DestFolderWithDeviceName",
                   [](Json& p) {
                     p["files"][0]["destFolder"] = U8(u8"目标计算机\\Program Files\\Tool\\con.txt\\");
                   },
                   "files[0].destFolder: holds the device name \"con.txt\""},
        BadProject{"AbsoluteRootWithoutDrive",
                   [](Json& p) { p["files"][1]["destFolder"] = U8(u8"指定目录\\Tools"); },
                   "files[1].destFolder: must go on with an absolute path"},
        BadProject{"FileNamedAfterADevice",
                   [](Json& p) { p["files"][1]["source"] = "D:\\pkg\\LPT1.exe"; },
                   // The runtime's own entry-name rule, which refuses device names too, speaks
                   // first.
                   "files[1].source: must end with a file name"},
        BadProject{"FolderNamedAfterADevice", [](Json& p) { p["files"][0]["name"] = "AUX"; },
                   "files[0].name: names the device \"AUX\""},
        BadProject{"UninstallerWithoutContent", [](Json& p) { p["files"][4].erase("content"); },
                   "files[4].content: is required (or give build --uninstaller EXE)"},
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
                   "settings[0].value: text has characters that GBK cannot hold: U+1F600"},
        BadProject{"BadRawGbk", [](Json& p) { p["settings"][0]["value"] = Json{{"gbk", "C"}}; },
                   "settings[0].value.gbk: needs an even number of hex digits"},
        BadProject{"NegativeComponentSize", [](Json& p) { p["components"][0]["size"] = -1; },
                   "components[0].size: -1 is out of range"}));

// Faults name the file, line and column of their path; the texts are where a person reads them.
TEST_F(ToolTest, FaultsAndWarningsNameLineAndColumn) {
  Write("content/a.txt", "a");
  const std::string text = U8(u8R"({
  "serial": "6F9619FF-8B86-D011-B42D-00C04FC964FF",
  "settings": [
    { "caption": "项目名称", "value": "工具", "group": 0 },
      { "caption": "版本号", "value": "x😀", "group": 0 }
  ]
})");
  fs::path json = Write("p.json", text);
  ToolResult result = Run({"check", json.string()});
  EXPECT_EQ(result.code, 1);
  const std::string named = json.string() +
                            ":5:27: settings[1].value: text has characters that GBK cannot hold: "
                            "U+1F600 (" + U8(u8"\U0001F600") + ") is the first";
  EXPECT_NE(result.err.find(named), std::string::npos) << result.err;

  Write("p.json", U8(u8R"({
  "serial": "6F9619FF-8B86-D011-B42D-00C04FC964FF",
  "settings": [ { "caption": "项目名程", "value": "工具", "group": 0 } ]
})"));
  result = Run({"check", json.string()});
  EXPECT_EQ(result.code, 0) << result.err;
  EXPECT_NE(result.err.find(json.string() + ":3:19: warning: settings[0].caption: '" +
                            U8(u8"项目名程") + "' is no caption of group 0"),
            std::string::npos)
      << result.err;
}

struct BadEncoding {
  const char* name;
  std::string bytes;
  std::string message;
};

TEST_F(ToolTest, AProjectNotInUtf8SaysWhatItLooksLike) {
  const std::string gbkName = "\xB9\xA4\xBE\xDF";  // 工具 in GBK
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("{\"serial\": \"x\"}")) utf16 += std::string(1, c) + '\0';
  const BadEncoding cases[] = {
      {"Gbk", "{\n  \"serial\": \"x\",\n  \"settings\": [{\"caption\": \"" + gbkName + "\"}]\n}\n",
       "not UTF-8 (it looks like GBK): line 3, column 29"},
      {"Utf16WithMark", utf16, "not UTF-8 (it looks like UTF-16)"},
      {"Utf16WithoutMark", utf16.substr(2), "not UTF-8 (it looks like UTF-16)"},
      {"Neither", "{\"serial\": \"\xFF\xFF\xFF\"}", "not UTF-8: line 1, column 13"},
  };
  for (const BadEncoding& bad : cases) {
    fs::path json = Write("encoded.json", bad.bytes);
    ToolResult result = Run({"check", json.string()});
    EXPECT_EQ(result.code, 1) << bad.name;
    EXPECT_NE(result.err.find(json.string() + ": " + bad.message), std::string::npos)
        << bad.name << ": " << result.err;
    for (unsigned char c : result.err) {
      EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x80)) << bad.name << ": raw bytes in " << result.err;
    }
  }
  // A byte-order mark in front of UTF-8 is fine.
  fs::path json = Write("marked.json", "\xEF\xBB\xBF" + Read(WriteProject(SmallProject())));
  EXPECT_EQ(Run({"check", json.string()}).code, 0);
}

TEST_F(ToolTest, SyntaxErrorNamesTheLine) {
  fs::path json = Write("broken.json", "{\n  \"serial\": \"x\",\n  \"settings\": [,]\n}\n");
  ToolResult result = Run({"build", json.string(), "--stub", Stub().string(), "-o",
                           (dir_ / "setup.exe").string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("line 3"), std::string::npos) << result.err;
}

TEST_F(ToolTest, NumberNoDoubleHoldsIsAFaultOfTheFile) {
  fs::path json = Write("huge.json", "{\"serial\": 1e99999}");
  ToolResult result = Run({"check", json.string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("huge.json: number overflow parsing '1e99999'"), std::string::npos)
      << result.err;
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
