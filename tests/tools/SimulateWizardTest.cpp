// simulate walks the setup program's own windows: every page printed as the person sees it,
// the person scripted by the answers file (page controls, cancelOn, answers in the new object
// form and the old list form), and the exit code telling a finished or cancelled run from one
// an error ended.
#include <gtest/gtest.h>

#include <fstream>

#include "system/sandbox/SandboxPlatform.h"
#include "tests/tools/ToolFixture.h"

namespace tooltest {
namespace {

class SimulateWizardTest : public ToolTest {
 protected:
  // A product with the tasks, ready, progress and finish pages in the wizard frame, a program
  // with a desktop shortcut offered (ticked), and a restart asked for at the end.
  fs::path BuildWizardProduct() {
    Write("content/tool.exe", PatternBytes(20000));
    auto setting = [](const char8_t* caption, const char8_t* value, int group) {
      return Json{{"caption", U8(caption)}, {"value", U8(value)}, {"group", group}};
    };
    Json project;
    project["serial"] = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
    project["settings"] = Json::array({
        setting(u8"项目名称", u8"小工具", 0),
        setting(u8"显示安装界面", u8"启用", 0),
        setting(u8"显示安装背景窗口", u8"禁用", 0),
        setting(u8"安装完成后，重启操作系统", u8"启用", 0),
        setting(u8"附加任务", u8"启用", 1),
        setting(u8"确认安装", u8"启用", 1),
        setting(u8"安装进程", u8"启用", 1),
        setting(u8"安装完毕", u8"启用", 1),
        setting(u8"默认安装路径", u8"[System ProgramFiles]\\Tool", 8),
        setting(u8"创建桌面快捷方式", u8"启用", 9),
        setting(u8"应用程序文件", u8"D:\\pkg\\tool.exe", 12),
    });
    project["files"] = Json::array({Json{{"kind", "file"},
                                         {"source", "D:\\pkg\\tool.exe"},
                                         {"content", "content/tool.exe"},
                                         {"destFolder", U8(u8"目标计算机\\Program Files\\Tool\\")}}});
    project["shortcuts"] = Json::array({Json{{"kind", "lnk"},
                                             {"folder", U8(u8"桌面\\")},
                                             {"name", U8(u8"小工具")},
                                             {"target", "D:\\pkg\\tool.exe"}}});
    return BuildProject(project);
  }

  ToolResult Simulate(const fs::path& setup, const std::string& answers = "") {
    std::vector<std::string> args = {"simulate", setup.string(), "--root", root().string()};
    if (!answers.empty()) {
      args.push_back("--answers");
      args.push_back(Write("answers.json", answers).string());
    }
    return Run(args);
  }

  fs::path root() const { return dir_ / "machine"; }
  fs::path drive() const { return root() / "drive_c"; }
  bool Installed() const { return fs::exists(drive() / "Program Files/Tool/tool.exe"); }
  bool DesktopLink() const { return fs::exists(drive() / "Users/user/Desktop" / U8(u8"小工具.lnk")); }

  std::vector<nlohmann::json> Journal(const std::string& op) {
    std::vector<nlohmann::json> lines;
    for (auto& line : sys::sandbox::ReadJournal(root()))
      if (line["op"] == op) lines.push_back(line);
    return lines;
  }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
};

TEST_F(SimulateWizardTest, WalksThePagesPrintingEachAsThePersonSeesIt) {
  ToolResult result = Simulate(BuildWizardProduct());
  ASSERT_EQ(result.code, 0) << result.err << result.out;
  const std::string& out = result.out;
  EXPECT_TRUE(Has(out, U8(u8"[TfrmParent] “小工具”安装向导"))) << out;
  EXPECT_TRUE(Has(out, U8(u8"page [TfrmAddonsTask] 附加任务")));
  EXPECT_TRUE(Has(out, U8(u8"CheckBox CheckBox1: [x] 创建桌面快捷方式")));
  EXPECT_TRUE(Has(out, U8(u8"|   “小工具”安装到“C:\\Program Files\\Tool”文件夹下")));
  EXPECT_TRUE(Has(out, U8(u8"== 正在创建安装文件夹，请稍候...")));
  EXPECT_TRUE(Has(out, U8(u8"Label Lb_Insted_Prog: “小工具”安装向导已完成安装")));
  EXPECT_TRUE(Has(out, U8(u8"> press 完成(&F)")));
  EXPECT_LT(out.find("page [TfrmAddonsTask]"), out.find("page [TfrmReadyIns]"));
  EXPECT_LT(out.find("page [TfrmReadyIns]"), out.find("page [TfrmBeginIns]"));
  EXPECT_LT(out.find("page [TfrmBeginIns]"), out.find("page [TfrmEndIns]"));
  EXPECT_TRUE(Installed());
  EXPECT_TRUE(DesktopLink());
  EXPECT_EQ(Journal("shellRun").size(), 1u) << "the program is opened on Finish";
  EXPECT_TRUE(Has(out, U8(u8"安装向导需要重启操作系统，方可完成安装。要自动重启吗？ -> No")));
}

TEST_F(SimulateWizardTest, PageControlsAreSetAsAPersonWouldBeforeNext) {
  ToolResult result = Simulate(BuildWizardProduct(),
                               R"({"pages": {"TfrmAddonsTask": {"CheckBox1": false},
                                             "TfrmEndIns": {"CheckBox1": false}}})");
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_TRUE(Has(result.out, "> TfrmAddonsTask: untick CheckBox1"));
  EXPECT_TRUE(Has(result.out, U8(u8"CheckBox CheckBox1: [ ] 创建桌面快捷方式")));
  EXPECT_TRUE(Installed());
  EXPECT_FALSE(DesktopLink());
  EXPECT_TRUE(Journal("shellRun").empty()) << "the unticked program is not opened";
}

TEST_F(SimulateWizardTest, CancelOnAPageAsksAndYesEndsTheRunWithoutInstalling) {
  ToolResult result =
      Simulate(BuildWizardProduct(), R"({"cancelOn": "TfrmReadyIns", "answers": ["yes"]})");
  EXPECT_EQ(result.code, 0) << "a cancelled wizard is no error: " << result.err;
  EXPECT_TRUE(Has(result.out, U8(u8"> press 取消(&C)")));
  EXPECT_FALSE(Installed());
  auto asked = Journal("messageBox");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0]["text"], U8(u8"安装向导没有完成“小工具”安装，确定要退出该安装向导吗？"));
}

TEST_F(SimulateWizardTest, AfterNoToTheCancelQuestionTheWalkGoesOn) {
  ToolResult result = Simulate(BuildWizardProduct(),
                               R"({"cancelOn": "TfrmAddonsTask", "answers": ["no", "yes"]})");
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_TRUE(Installed());
  EXPECT_EQ(Journal("restart").size(), 1u) << "the second answer goes to the restart question";
}

TEST_F(SimulateWizardTest, TheOldListOfAnswersStillWorks) {
  ToolResult result = Simulate(BuildWizardProduct(), R"(["yes"])");
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(Journal("restart").size(), 1u);
}

TEST_F(SimulateWizardTest, AFailedInstallSaysSoInChineseAndExitsWithOne) {
  fs::path setup = BuildWizardProduct();
  std::string bytes = Read(setup);
  bytes[512 + 8 + 4] = 0;  // the program's first chunk: its zlib header
  std::ofstream(setup, std::ios::binary | std::ios::trunc) << bytes;
  ToolResult result = Simulate(setup);
  EXPECT_EQ(result.code, tool::kExitFailure);
  EXPECT_TRUE(Has(result.out, U8(u8"Label Label28: 安装失败，安装程序没有完成安装。"))) << result.out;
  EXPECT_TRUE(Has(result.out, U8(u8"> press 取消(&C)")));
  EXPECT_FALSE(Has(result.out, "page [TfrmEndIns]")) << "nothing claims success";
  auto boxes = Journal("messageBox");
  ASSERT_EQ(boxes.size(), 1u) << "the error, and no exit or restart question";
  EXPECT_EQ(boxes[0]["caption"], U8(u8"“小工具”安装向导"));
  EXPECT_EQ(boxes[0]["text"], U8(u8"安装程序已损坏或不完整，无法继续安装。请重新下载安装程序。"));
  EXPECT_TRUE(Journal("shellRun").empty());
}

TEST_F(SimulateWizardTest, AnswersFilesWithMistakesAreRefusedByName) {
  fs::path setup = BuildWizardProduct();
  ToolResult unknown = Simulate(setup, R"({"cancel": "TfrmReadyIns"})");
  EXPECT_EQ(unknown.code, tool::kExitFailure);
  EXPECT_TRUE(Has(unknown.err, "cancel: unknown field (did you mean \"cancelOn\"?)")) << unknown.err;
  ToolResult badValue = Simulate(setup, R"({"pages": {"TfrmAddonsTask": {"CheckBox1": 0}}})");
  EXPECT_EQ(badValue.code, tool::kExitFailure);
  EXPECT_TRUE(Has(badValue.err, "pages.TfrmAddonsTask.CheckBox1")) << badValue.err;
  EXPECT_FALSE(Installed());
}

struct BadScript {
  const char* name;
  const char* answers;
  std::string message;
};

// Names an answers file can hold are checked against the program's own pages and controls
// before anything runs.
TEST_F(SimulateWizardTest, AnswersFilesNamingWhatNoPageHasAreRefused) {
  fs::path setup = BuildWizardProduct();
  const BadScript cases[] = {
      {"MisspeltPage", R"({"pages": {"TfrmSelComponents": {"List_Component": [true]}}})",
       "pages.TfrmSelComponents: no page class \"TfrmSelComponents\" (did you mean "
       "\"TfrmSelComponent\"?)"},
      {"MisspeltControl", R"({"pages": {"TfrmAddonsTask": {"Checkbox1": true}}})",
       "pages.TfrmAddonsTask.Checkbox1: TfrmAddonsTask has no control \"Checkbox1\" a person can "
       "set (did you mean \"CheckBox1\"?); it has CheckBox1, CheckBox2"},
      {"ControlOnAPageWithoutAny", R"({"pages": {"TfrmReadyIns": {"CheckBox1": true}}})",
       "it has none"},
      {"TextForACheckBox", R"({"pages": {"TfrmEndIns": {"CheckBox1": "yes"}}})",
       "pages.TfrmEndIns.CheckBox1: takes true or false (a check box)"},
      {"UnknownCancelPage", R"({"cancelOn": "TfrmReadIns"})",
       "cancelOn: no page class \"TfrmReadIns\" (did you mean \"TfrmReadyIns\"?)"},
      {"BadAnswerWithItsPlace", "{\n  \"answers\": [\"yes\",\n    \"ja\"]\n}",
       "answers.json:3:5: answers[1]: answers are \"yes\" or \"no\", not \"ja\""},
  };
  for (const BadScript& bad : cases) {
    ToolResult result = Simulate(setup, bad.answers);
    EXPECT_EQ(result.code, tool::kExitFailure) << bad.name;
    EXPECT_TRUE(Has(result.err, bad.message)) << bad.name << ": " << result.err;
    EXPECT_FALSE(Installed()) << bad.name;
  }
}

TEST_F(SimulateWizardTest, ACancelPageThatNeverShowsFailsTheRun) {
  // The product has no licence page: the scripted cancel can never happen.
  ToolResult result = Simulate(BuildWizardProduct(), R"({"cancelOn": "TfrmProtocol"})");
  EXPECT_EQ(result.code, tool::kExitFailure);
  EXPECT_TRUE(Has(result.err, "cancelOn: the page TfrmProtocol never showed")) << result.err;
  EXPECT_TRUE(Has(result.out, "The setup run failed")) << result.out;
}

TEST_F(SimulateWizardTest, AControlThePersonCannotReachEndsTheRunAsAnError) {
  ToolResult result =
      Simulate(BuildWizardProduct(), R"({"pages": {"TfrmAddonsTask": {"CheckBox2": true}}})");
  EXPECT_EQ(result.code, tool::kExitFailure)
      << "CheckBox2 is hidden: the project offers no such task";
  EXPECT_TRUE(Has(result.err, "CheckBox2")) << result.err;
  EXPECT_FALSE(Installed());
}

}  // namespace
}  // namespace tooltest
