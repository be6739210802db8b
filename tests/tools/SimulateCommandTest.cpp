// simulate and inslog: a setup run on the sandbox leaves the installed files, the finish actions
// in the journal and a readable Ins.log; the temporary files are gone afterwards.
#include <gtest/gtest.h>

#include <algorithm>

#include "system/sandbox/SandboxPlatform.h"
#include "tests/tools/ToolFixture.h"

namespace tooltest {
namespace {

class SimulateTest : public ToolTest {
 protected:
  // A product with a program, a readme, a licence resource and an uninstaller, installed to
  // C:\Program Files\Tool by the no-options install window (the wizard is switched off); it
  // opens the program at the end and asks for a restart.
  fs::path BuildTool(const std::string& programTargetOs = "") {
    Write("content/tool.exe", PatternBytes(20000));
    Write("content/readme.txt", "readme");
    Write("content/licence.txt", "licence");
    Write("content/uninst.exe", "uninstaller");
    auto file = [](const std::string& kind, const std::string& source, const std::string& content) {
      Json entry{{"kind", kind}, {"source", source}, {"content", content}};
      if (kind == "file") entry["destFolder"] = U8(u8"目标计算机\\Program Files\\Tool\\");
      return entry;
    };
    Json project;
    project["serial"] = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
    project["settings"] = Json::array({
        Json{{"caption", U8(u8"项目名称")}, {"value", U8(u8"小工具")}, {"group", 0}},
        Json{{"caption", U8(u8"显示安装界面")}, {"value", U8(u8"禁用")}, {"group", 0}},
        Json{{"caption", U8(u8"显示加载进度")}, {"value", U8(u8"禁用")}, {"group", 0}},
        Json{{"caption", U8(u8"安装完成后，重启操作系统")}, {"value", U8(u8"启用")}, {"group", 0}},
        Json{{"caption", U8(u8"协议文件")}, {"value", "D:\\pkg\\licence.txt"}, {"group", 3}},
        Json{{"caption", U8(u8"默认安装路径")}, {"value", "[System ProgramFiles]\\Tool"}, {"group", 8}},
        Json{{"caption", U8(u8"应用程序文件")}, {"value", "D:\\pkg\\tool.exe"}, {"group", 12}},
    });
    project["files"] = Json::array({file("file", "D:\\pkg\\tool.exe", "content/tool.exe"),
                                    file("file", "D:\\pkg\\readme.txt", "content/readme.txt"),
                                    file("resource", "D:\\pkg\\licence.txt", "content/licence.txt"),
                                    file("uninstaller", "D:\\pkg\\uninst.exe", "content/uninst.exe")});
    project["files"][0]["targetOs"] = programTargetOs;
    return BuildProject(project);
  }

  ToolResult Simulate(const fs::path& setup, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"simulate", setup.string(), "--root", root().string()};
    args.insert(args.end(), extra.begin(), extra.end());
    return Run(args);
  }

  fs::path root() const { return dir_ / "machine"; }
  fs::path drive() const { return root() / "drive_c"; }

  std::vector<nlohmann::json> Journal(const std::string& op) {
    std::vector<nlohmann::json> lines;
    for (auto& line : sys::sandbox::ReadJournal(root()))
      if (line["op"] == op) lines.push_back(line);
    return lines;
  }
};

TEST_F(SimulateTest, InstallsReportsAndCleansUp) {
  fs::path setup = BuildTool();
  ToolResult result = Simulate(setup);
  ASSERT_EQ(result.code, 0) << result.err << result.out;

  EXPECT_EQ(Read(drive() / "Program Files/Tool/tool.exe"), PatternBytes(20000));
  EXPECT_EQ(Read(drive() / "Program Files/Tool/uninst.exe"), "uninstaller");
  EXPECT_NE(result.out.find(U8(u8"== 正在创建安装文件夹，请稍候...")), std::string::npos);
  EXPECT_NE(result.out.find("C:\\Program Files\\Tool\\tool.exe"), std::string::npos);
  EXPECT_NE(result.out.find("Uninstall log C:\\Program Files\\Tool\\Ins.log"), std::string::npos);

  // The licence was unpacked (the loading setting switched off still unpacks) into a folder of
  // the run's own, which goes with it at the end: the temporary folder is as before.
  EXPECT_TRUE(fs::is_empty(drive() / "Users/user/AppData/Local/Temp"));

  auto opened = Journal("shellRun");
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0]["verb"], "Open");
  EXPECT_EQ(opened[0]["file"], "C:\\Program Files\\Tool\\tool.exe");
  EXPECT_EQ(opened[0]["directory"], "C:\\Program Files\\Tool\\");
  auto asked = Journal("messageBox");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0]["caption"], U8(u8"“小工具”安装向导"));
  EXPECT_EQ(asked[0]["text"], U8(u8"“小工具”安装向导需要重启操作系统，方可完成安装。要自动重启吗？"));
  EXPECT_TRUE(Journal("restart").empty());
}

TEST_F(SimulateTest, ScriptedYesRestartsWithTheShutdownPrivilege) {
  fs::path setup = BuildTool();
  fs::path answers = Write("answers.json", R"({"answers": ["yes"]})");
  ToolResult result = Simulate(setup, {"--answers", answers.string()});
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(Journal("shutdownPrivilege").size(), 1u);
  auto restarts = Journal("restart");
  ASSERT_EQ(restarts.size(), 1u);
  EXPECT_EQ(restarts[0]["flags"], 2);
}

TEST_F(SimulateTest, VersionTextGatesEntries) {
  fs::path setup = BuildTool("6.1");
  ASSERT_EQ(Simulate(setup, {"--os", "5.1"}).code, 0);
  EXPECT_FALSE(fs::exists(drive() / "Program Files/Tool/tool.exe"));
  EXPECT_TRUE(fs::exists(drive() / "Program Files/Tool/readme.txt"));
  ASSERT_EQ(Simulate(setup, {"--os", "6.1"}).code, 0);
  EXPECT_TRUE(fs::exists(drive() / "Program Files/Tool/tool.exe"));
}

TEST_F(SimulateTest, InslogPrintsTheRecordedItems) {
  ASSERT_EQ(Simulate(BuildTool()).code, 0);
  ToolResult result = Run({"inslog", (drive() / "Program Files/Tool/Ins.log").string()});
  ASSERT_EQ(result.code, 0) << result.err;
  Json log = Json::parse(result.out);
  EXPECT_EQ(log["itemName"], U8(u8"小工具"));
  EXPECT_EQ(log["serial"], "6F9619FF-8B86-D011-B42D-00C04FC964FF");
  bool sawProgram = false;
  for (const auto& item : log["items"]) {
    if (item["path"] == "C:\\Program Files\\Tool\\tool.exe") {
      sawProgram = true;
      EXPECT_EQ(item["kind"], "file");
      EXPECT_EQ(item["remove"], true);
    }
  }
  EXPECT_TRUE(sawProgram) << result.out;
  EXPECT_EQ(Run({"inslog", (dir_ / "missing.log").string()}).code, tool::kExitFailure);
}

TEST_F(SimulateTest, DamagedPackageChangesNothingAndFails) {
  fs::path setup = BuildTool();
  std::string bytes = Read(setup);
  // The first chunk of the program's content begins after the 512-byte stub and 8 reserved
  // bytes; breaking its zlib header damages the first file.
  bytes[512 + 8 + 4] = 0;
  std::ofstream(setup, std::ios::binary | std::ios::trunc) << bytes;
  ToolResult result = Simulate(setup);
  EXPECT_EQ(result.code, tool::kExitFailure);
  EXPECT_NE(result.err.find("error"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(drive() / "Program Files/Tool/tool.exe"));
  EXPECT_FALSE(fs::exists(drive() / "Program Files/Tool/Ins.log"));
}

// The bundled demo, end to end on the simulated Windows 7: what the Wine check verifies on the
// real API, here on the sandbox.
TEST_F(SimulateTest, DemoInstallsCompletely) {
  fs::path setup = dir_ / "DemoSetup.exe";
  ASSERT_EQ(Run({"build", SETUP_SOURCE_DIR "/examples/demo/project.json", "--stub", Stub().string(),
                 "-o", setup.string()}).code, 0);
  ToolResult result = Simulate(setup);
  ASSERT_EQ(result.code, 0) << result.err;

  const fs::path content = SETUP_SOURCE_DIR "/examples/demo/content";
  const fs::path app = drive() / "Program Files/DemoSoft";
  EXPECT_EQ(Read(app / "bin/DemoSoft.exe"), Read(content / "bin/DemoSoft.exe"));
  EXPECT_EQ(Read(app / "uninst.exe"), Read(content / "uninst.exe"));
  EXPECT_TRUE(fs::is_directory(app / "logs"));
  EXPECT_FALSE(fs::exists(drive() / "Windows/system32/xpfix.dll")) << "a 5.1-only file on 6.1";
  // The component copies its library into the Windows folder.
  EXPECT_EQ(Read(drive() / "Windows/demort.dll"), Read(content / "comp/DemoRuntime/demort.dll"));
  EXPECT_NE(result.out.find("Component packages:\n  DemoRuntime:\n"
                            "    copied demort.dll -> C:\\Windows\\demort.dll\n"),
            std::string::npos)
      << result.out;

  sys::sandbox::SandboxPlatform machine(root());
  auto key = machine.OpenKey(sys::kHkeyLocalMachine, "Software\\DemoSoft", false);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->QueryValue("InstallPath")->data, "C:\\Program Files\\DemoSoft\\bin\\DemoSoft.exe");
  EXPECT_EQ(key->QueryValue("Helper")->data, "C:\\Windows\\system32\\demohelper.dll");
  EXPECT_EQ(key->QueryValue("Version")->data, std::string("\x02\x00\x01\x00", 4));
  auto settings = machine.OpenKey(sys::kHkeyCurrentUser, "Software\\DemoSoft\\Settings", false);
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(settings->QueryValue("Flags")->data, "\x0A\x0B\x0C");
  EXPECT_FALSE(settings->QueryValue("XpMode").has_value());

  const fs::path programs = drive() / "Users/user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs";
  const fs::path menu = programs / U8(u8"演示软件");
  EXPECT_TRUE(fs::exists(menu / U8(u8"演示软件.lnk")));
  EXPECT_TRUE(fs::exists(menu / U8(u8"工具/托盘程序.lnk")));
  EXPECT_TRUE(fs::exists(menu / U8(u8"卸载“演示软件”.lnk")));
  EXPECT_EQ(Read(menu / U8(u8"演示软件主页.url")),
            "[InternetShortcut]\r\nURL=http://www.example.com/demosoft/\r\n");

  Json log = Json::parse(Run({"inslog", (app / "Ins.log").string()}).out);
  std::vector<std::string> paths;
  for (const auto& item : log["items"]) paths.push_back(item["path"]);
  auto recorded = [&](const std::string& path) {
    return std::find(paths.begin(), paths.end(), path) != paths.end();
  };
  EXPECT_TRUE(recorded("C:\\Program Files\\DemoSoft\\bin\\DemoSoft.exe"));
  EXPECT_TRUE(recorded("C:\\Windows\\system32\\demohelper.dll"));
  // What the machine had before is not the product's to remove.
  EXPECT_FALSE(recorded("C:\\Windows\\system32"));
  EXPECT_FALSE(recorded("Software"));
  EXPECT_FALSE(recorded("C:\\Windows\\demort.dll")) << "component files stay on the machine";
}

TEST_F(SimulateTest, RootIsRequired) {
  EXPECT_EQ(Run({"simulate", BuildTool().string()}).code, tool::kExitUsage);
}

// The setup program's own switches play the run it starts with them: the log (a host file),
// what it left and the code the program would end with.
TEST_F(SimulateTest, TheSetupProgramsSwitchesPlayTheSilentRunWithItsExitCode) {
  const fs::path setup = BuildTool();
  const fs::path log = dir_ / "run.log";
  ToolResult result = Simulate(setup, {"/S", "/LOG=" + log.string(), "/D=C:\\My Tools\\x"});
  ASSERT_EQ(result.code, tool::kExitOk) << result.out << result.err;
  EXPECT_NE(result.out.find("would exit with code 3010 (installed, restart needed)"),
            std::string::npos)
      << result.out;
  EXPECT_TRUE(fs::exists(drive() / "My Tools" / "x" / "Tool" / "tool.exe"));
  EXPECT_NE(Read(log).find("[file] C:\\My Tools\\x\\Tool\\tool.exe"), std::string::npos)
      << Read(log);
  EXPECT_TRUE(Journal("restart").empty()) << "a silent run restarts only when the answers ask";

  result = Simulate(setup, {"/S", "/QUIET"});
  EXPECT_EQ(result.code, tool::kExitFailure);
  EXPECT_NE(result.out.find("would exit with code 87"), std::string::npos) << result.out;
}

}  // namespace
}  // namespace tooltest
