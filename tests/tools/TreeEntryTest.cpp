// A "tree" entry adds a folder tree: it builds the same bytes as the hand-written entries it
// stands for, keeps or drops empty folders, filters by pattern, and its order depends on the
// names only. init writes a project for a folder that builds and installs as it is.
#include <gtest/gtest.h>

#include "tests/tools/ToolFixture.h"
#include "tools/project/FolderTree.h"

namespace tooltest {
namespace {

class TreeEntryTest : public ToolTest {
 protected:
  // A product tree with Chinese names, spaces, nested and empty folders. Files are written in
  // an order unlike the sorted one, so that the listing order of the file system cannot pass
  // for the entry order.
  void WriteTree() {
    Write(U8(u8"dist/z last.txt"), "z");
    Write(U8(u8"dist/工具.exe"), PatternBytes(9000));
    Write(U8(u8"dist/a first.txt"), "a");
    Write(U8(u8"dist/文档 目录/说明 1.txt"), "readme");
    Write(U8(u8"dist/文档 目录/深/图.png"), "png");
    Write(U8(u8"dist/bin/debug.pdb"), "pdb");
    fs::create_directories(dir_ / U8(u8"dist/空 文件夹"));
    fs::create_directories(dir_ / U8(u8"dist/logs/old"));
  }

  Json Project(const Json& files) {
    Json project;
    project["serial"] = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
    project["settings"] = Json::array({Json{{"caption", U8(u8"项目名称")}, {"value", "x"}, {"group", 0}}});
    project["files"] = files;
    return project;
  }

  std::string BuildBytes(const Json& project, const std::string& name) {
    fs::path json = WriteProject(project, name + ".json");
    fs::path setup = dir_ / (name + ".exe");
    ToolResult result = Run({"build", json.string(), "--stub", Stub().string(), "-o", setup.string()});
    EXPECT_EQ(result.code, 0) << result.err;
    return Read(setup);
  }

  static Json File(const std::string& relative, const std::string& destFolder) {
    std::string source = "D:\\Tool\\" + relative;
    for (char& c : source) {
      if (c == '/') c = '\\';
    }
    return Json{{"kind", "file"}, {"source", source}, {"content", "dist/" + relative}, {"destFolder", destFolder}, {"noOverwrite", true}};
  }
  static Json Folder(const std::string& name, const std::string& destFolder) {
    return Json{{"kind", "folder"}, {"name", name}, {"destFolder", destFolder}};
  }
};

TEST_F(TreeEntryTest, BuildsTheSameBytesAsTheEntriesItStandsFor) {
  WriteTree();
  const std::string root = U8(u8"目标计算机\\Program Files\\Tool\\");
  Json tree = Json::array({Json{{"kind", "tree"}, {"content", "dist"}, {"source", "D:\\Tool"},
                                {"destFolder", root}, {"noOverwrite", true}}});
  Json byHand = Json::array({
      File(U8(u8"a first.txt"), root),
      File(U8(u8"z last.txt"), root),
      File(U8(u8"工具.exe"), root),
      File("bin/debug.pdb", root + "bin\\"),
      Folder("old", root + "logs\\"),
      File(U8(u8"文档 目录/说明 1.txt"), root + U8(u8"文档 目录\\")),
      File(U8(u8"文档 目录/深/图.png"), root + U8(u8"文档 目录\\深\\")),
      Folder(U8(u8"空 文件夹"), root),
  });
  std::string fromTree = BuildBytes(Project(tree), "tree");
  ASSERT_FALSE(fromTree.empty());
  EXPECT_TRUE(fromTree == BuildBytes(Project(byHand), "hand")) << "the setup programs differ";
}

TEST_F(TreeEntryTest, PatternsAndEmptyFoldersChooseWhatGoesIn) {
  WriteTree();
  struct Case {
    const char* name;
    Json filter;
    std::vector<std::string> expected;  // relative paths; folders end with "/"
  };
  const Case cases[] = {
      {"Everything", Json::object(),
       {"a first.txt", "z last.txt", U8(u8"工具.exe"), "bin/debug.pdb", "logs/old/",
        U8(u8"文档 目录/说明 1.txt"), U8(u8"文档 目录/深/图.png"), U8(u8"空 文件夹/")}},
      {"ExcludeByNameAnywhereAndDropEmpty",
       Json{{"exclude", Json::array({"*.pdb", "logs"})}, {"emptyFolders", false}},
       {"a first.txt", "z last.txt", U8(u8"工具.exe"), U8(u8"文档 目录/说明 1.txt"),
        U8(u8"文档 目录/深/图.png")}},
      {"ExcludedFilesLeaveAnEmptyFolder", Json{{"exclude", Json::array({"bin/*"})}},
       {"a first.txt", "z last.txt", U8(u8"工具.exe"), "bin/", "logs/old/",
        U8(u8"文档 目录/说明 1.txt"), U8(u8"文档 目录/深/图.png"), U8(u8"空 文件夹/")}},
      {"IncludeAcrossFolders", Json{{"include", Json::array({U8(u8"文档 目录/**")})}, {"emptyFolders", false}},
       {U8(u8"文档 目录/说明 1.txt"), U8(u8"文档 目录/深/图.png")}},
      {"IncludeOneCharacter", Json{{"include", Json::array({"? *.txt"})}, {"emptyFolders", false}},
       {"a first.txt", "z last.txt"}},
  };
  for (const Case& c : cases) {
    tool::TreeFilter filter;
    if (c.filter.contains("include")) filter.include = c.filter["include"].get<std::vector<std::string>>();
    if (c.filter.contains("exclude")) filter.exclude = c.filter["exclude"].get<std::vector<std::string>>();
    if (c.filter.contains("emptyFolders")) filter.emptyFolders = c.filter["emptyFolders"].get<bool>();
    std::vector<std::string> listed;
    for (const auto& item : tool::ExpandFolderTree(dir_ / "dist", filter)) {
      listed.push_back(item.relative + (item.folder ? "/" : ""));
    }
    EXPECT_EQ(listed, c.expected) << c.name;
  }
}

TEST_F(TreeEntryTest, NamesWindowsCannotHoldAreFaultsOfTheEntry) {
  struct Case {
    const char* name;
    std::string file;
    std::string message;
  };
  const Case cases[] = {
      {"Device", "dist/sub/nul.txt", "'sub/nul.txt' names the device \"nul.txt\""},
      {"Colon", "dist/a:b.txt", "'a:b.txt' has a name Windows cannot hold (\":\")"},
      {"NoGbk", U8(u8"dist/\U0001F600.txt"),
       U8(u8"'\U0001F600.txt' has a name GBK cannot hold: U+1F600")},
  };
  for (const Case& c : cases) {
    fs::remove_all(dir_ / "dist");
    Write(c.file, "x");
    Json tree = Json::array({Json{{"kind", "tree"}, {"content", "dist"},
                                  {"destFolder", U8(u8"目标计算机\\Program Files\\Tool\\")}}});
    ToolResult result = Run({"check", WriteProject(Project(tree)).string()});
    EXPECT_EQ(result.code, 1) << c.name;
    EXPECT_NE(result.err.find("files[0].content: " + c.message), std::string::npos)
        << c.name << ": " << result.err;
  }
}

// The quick start: init, build, and the setup program installs the folder.
TEST_F(TreeEntryTest, InitWritesAProjectThatBuildsAndInstalls) {
  WriteTree();
  Write("uninst.exe", "uninstaller");
  fs::path json = dir_ / "product.json";
  ToolResult init = Run({"init", (dir_ / "dist").string(), "-o", json.string(), "--name",
                         U8(u8"小工具"), "--version", "2.1", "--publisher", U8(u8"某公司")});
  ASSERT_EQ(init.code, 0) << init.err;
  ToolResult check = Run({"check", json.string(), "--strict"});
  EXPECT_EQ(check.code, 0) << check.err;
  fs::path setup = dir_ / "Setup.exe";
  ToolResult build = Run({"build", json.string(), "--stub", Stub().string(), "--uninstaller",
                          (dir_ / "uninst.exe").string(), "-o", setup.string(), "--strict"});
  ASSERT_EQ(build.code, 0) << build.err;
  ToolResult simulate = Run({"simulate", setup.string(), "--root", (dir_ / "machine").string()});
  ASSERT_EQ(simulate.code, 0) << simulate.err << simulate.out;
  fs::path installed = dir_ / "machine/drive_c/Program Files" / U8(u8"小工具");
  EXPECT_TRUE(Read(installed / U8(u8"工具.exe")) == PatternBytes(9000)) << simulate.out;
  EXPECT_EQ(Read(installed / U8(u8"文档 目录/深/图.png")), "png");
  EXPECT_TRUE(fs::is_directory(installed / U8(u8"空 文件夹")));
  EXPECT_TRUE(fs::exists(installed / "uninst.exe"));
  EXPECT_NE(simulate.out.find(U8(u8"“小工具”安装向导")), std::string::npos);

  ToolResult again = Run({"init", (dir_ / "dist").string(), "-o", json.string()});
  EXPECT_EQ(again.code, 1) << "an existing project is kept";
  EXPECT_NE(again.err.find("--force replaces it"), std::string::npos) << again.err;
}

}  // namespace
}  // namespace tooltest
