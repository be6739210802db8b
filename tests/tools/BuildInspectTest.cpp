// build -> inspect: the package holds exactly what the JSON said, laid out as the runtime reads.
#include <gtest/gtest.h>

#include "package/LittleEndian.h"
#include "package/PackageFormat.h"
#include "system/Stream.h"
#include "tests/tools/ToolFixture.h"
#include "tools/reading/PackageFile.h"

namespace tooltest {
namespace {

// Unordered form, so documents compare by content whatever the key order.
nlohmann::json Plain(const Json& document) { return nlohmann::json::parse(document.dump()); }

TEST_F(ToolTest, InspectOfABuildGivesBackTheProjectFieldForField) {
  Json project = SmallProject();
  fs::path setup = BuildProject(project);
  ToolResult inspected = Run({"inspect", setup.string()});
  ASSERT_EQ(inspected.code, 0) << inspected.err;

  Json output = Json::parse(inspected.out);
  ASSERT_TRUE(output.contains("package"));
  output.erase("package");
  for (auto& entry : output["files"]) entry.erase("stored");
  for (auto& entry : project["files"]) entry.erase("content");
  EXPECT_EQ(Plain(output), Plain(project));
}

TEST_F(ToolTest, InspectReportsTheOffsetsTheRuntimeReads) {
  fs::path setup = BuildProject(SmallProject());
  Json output = Json::parse(Run({"inspect", setup.string()}).out);
  const int64_t length = static_cast<int64_t>(fs::file_size(setup));
  EXPECT_EQ(output["package"]["fileLength"], length);

  std::string bytes = Read(setup);
  const auto* trailer = reinterpret_cast<const unsigned char*>(bytes.data() + length - 16);
  EXPECT_EQ(output["package"]["size"], static_cast<int64_t>(le::LoadU64(trailer)));
  EXPECT_EQ(output["package"]["directoryOffset"], static_cast<int64_t>(le::LoadU64(trailer + 8)));
  // Only the kind-0 files count towards Size: 20,000 + 0 bytes.
  EXPECT_EQ(output["package"]["size"], 20000);

  // The first entry with data starts right after the stub and the 8 reserved bytes, and the
  // runs follow each other without gaps up to the configuration.
  const Json& files = output["files"];
  int64_t expected = 512 + 8;
  for (const auto& entry : files) {
    if (entry["kind"] == "folder") continue;
    EXPECT_EQ(entry["stored"]["dataStart"], expected) << entry.dump();
    expected = entry["stored"]["dataEnd"].get<int64_t>();
  }
  EXPECT_EQ(output["package"]["directoryOffset"], expected);
  EXPECT_EQ(files[1]["stored"]["fileSize"], 20000);
  EXPECT_EQ(files[5]["stored"]["dataStart"], files[5]["stored"]["dataEnd"]);
}

TEST_F(ToolTest, BuiltPackageHoldsGbkTextAndTheContentBytes) {
  fs::path setup = BuildProject(SmallProject());
  tool::PackageFile file(setup);
  std::unique_ptr<TCompile> project = file.ReadProject();

  ASSERT_EQ(project->InfoList.size(), 3u);
  EXPECT_EQ(project->InfoList[0]->Caption, "项目名称");  // GBK literals in this build
  EXPECT_EQ(project->InfoList[0]->Value, "小工具");
  EXPECT_EQ(project->FileFolderList.at(1), "目标计算机\\Program Files\\Tool\\My Docs\\");
  EXPECT_EQ(project->Serial, "6F9619FF-8B86-D011-B42D-00C04FC964FF");
  ASSERT_EQ(project->FileList.size(), 6u);
  const TCompileFileData& exe = *project->FileList[1];
  EXPECT_EQ(exe.EntryKind, package::kEntryFile);
  EXPECT_EQ(exe.RunAfterInstall, 1);
  EXPECT_EQ(exe.NoOverwrite, 1);
  EXPECT_EQ(exe.RunAtStartup, 0);
  EXPECT_DOUBLE_EQ(exe.FileTime, 45413.0 + 34200.0 / 86400.0);
  EXPECT_EQ(project->FileList[3]->DestFolder, "D:\\pkg\\组件");
  EXPECT_EQ(project->RegList.at(0)->ValueData, "[安装目录]\\tool.exe");
  EXPECT_EQ(project->RegList.at(1)->ValueType, 1);
  EXPECT_EQ(project->RegList.at(1)->TargetOs, "5.1");
  EXPECT_EQ(project->ShotCutList.at(1)->LinkKind, 1);
  EXPECT_EQ(project->CompList.at(0)->CompSize, 123);

  sys::MemoryStream content;
  TCompile::CopyEntryData(file.stream(), content, exe.DataStart, exe.DataEnd);
  EXPECT_EQ(content.bytes(), PatternBytes(20000));
  sys::MemoryStream licence;
  const TCompileFileData& resource = *project->FileList[2];
  TCompile::CopyEntryData(file.stream(), licence, resource.DataStart, resource.DataEnd);
  EXPECT_EQ(licence.bytes(), "许可协议");
}

TEST_F(ToolTest, StubBytesLeadTheSetupUnchanged) {
  fs::path setup = BuildProject(SmallProject());
  EXPECT_EQ(Read(setup).substr(0, 512), Read(dir_ / "stub.exe"));
}

TEST_F(ToolTest, ComponentSizeDefaultsToItsFilesContent) {
  Json project = SmallProject();
  project["components"][0].erase("size");
  fs::path setup = BuildProject(project);
  Json output = Json::parse(Run({"inspect", setup.string()}).out);
  EXPECT_EQ(output["components"][0]["size"], 30);  // the Rt.ini content
}

TEST_F(ToolTest, FailedBuildLeavesNoOutput) {
  Json project = SmallProject();
  project["files"][1]["content"] = "content/missing.exe";
  fs::path json = WriteProject(project);
  fs::path setup = dir_ / "setup.exe";
  ToolResult result =
      Run({"build", json.string(), "--stub", Stub().string(), "-o", setup.string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_FALSE(fs::exists(setup));
  EXPECT_FALSE(fs::exists(setup.string() + ".partial"));
}

TEST_F(ToolTest, BuildWarnsWhenAPictureSettingNamesNoResource) {
  Json project = SmallProject();
  project["settings"].push_back(
      Json{{"caption", U8(u8"标题图片")}, {"value", "D:\\pkg\\nothere.bmp"}, {"group", 3}});
  fs::path json = WriteProject(project);
  ToolResult result = Run({"build", json.string(), "--stub", Stub().string(), "-o",
                           (dir_ / "setup.exe").string()});
  EXPECT_EQ(result.code, 0) << result.err;
  EXPECT_NE(result.err.find("warning: settings[3]"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace tooltest
