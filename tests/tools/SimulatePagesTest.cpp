// simulate walks all ten pages of the demo, and the answers file reaches the choice pages: a
// typed install folder and start-menu folder, the start-menu switch and the component marks
// given as a list in item order.
#include <gtest/gtest.h>

#include "tests/tools/ToolFixture.h"

namespace tooltest {
namespace {

class SimulatePagesTest : public ToolTest {
 protected:
  fs::path BuildDemo() {
    fs::path setup = dir_ / "DemoSetup.exe";
    ToolResult built = Run({"build", SETUP_SOURCE_DIR "/examples/demo/project.json", "--stub",
                            Stub().string(), "-o", setup.string()});
    EXPECT_EQ(built.code, 0) << built.err;
    return setup;
  }
  ToolResult Simulate(const fs::path& setup, const std::string& answers) {
    return Run({"simulate", setup.string(), "--root", (dir_ / "machine").string(), "--answers",
                Write("answers.json", answers).string()});
  }
  fs::path Drive() const { return dir_ / "machine" / "drive_c"; }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
};

TEST_F(SimulatePagesTest, TheDemoWalksAllTenPagesWithTheChoicesOfTheAnswers) {
  ToolResult result = Simulate(BuildDemo(), U8(u8R"({"pages": {
      "TfrmSelectInstallDir": {"Edit1": "C:\\Apps\\Demo"},
      "TfrmStartFolder": {"Edit1": "演示", "CheckBox1": false},
      "TfrmSelComponent": {"List_Component": [true, false]}}})"));
  ASSERT_EQ(result.code, 0) << result.err;
  const std::string& out = result.out;
  for (const char8_t* page :
       {u8"page [TfrmFist] 首页", u8"page [TfrmProtocol] 安装协议",
        u8"page [TfrmSoftExplaion] 软件说明", u8"page [TfrmStartFolder] 开始菜单",
        u8"page [TfrmSelComponent] 选择组件", u8"page [TfrmSelectInstallDir] 选择安装文件夹",
        u8"page [TfrmAddonsTask] 附加任务", u8"page [TfrmReadyIns] 准备安装",
        u8"page [TfrmBeginIns] 开始安装", u8"page [TfrmEndIns] 安装完成"}) {
    EXPECT_TRUE(Has(out, U8(page))) << U8(page);
  }
  EXPECT_TRUE(Has(out, U8(u8"licence.txt: 演示软件 最终用户许可协议 ...")))
      << "the GBK licence reads";
  EXPECT_TRUE(Has(out, U8(u8"readme.htm: 演示软件 ..."))) << "the UTF-8 readme reads";
  EXPECT_TRUE(Has(out, U8(u8"CheckListBox List_Component: [x] 主程序; [ ] DemoRuntime")));
  EXPECT_TRUE(Has(out, U8(u8"> TfrmSelComponent: untick List_Component item 1")));
  EXPECT_TRUE(fs::exists(Drive() / "Apps/Demo/DemoSoft/bin/DemoSoft.exe"));
  fs::path programs = Drive() / U8(u8"ProgramData/Microsoft/Windows/Start Menu/Programs");
  EXPECT_FALSE(fs::exists(programs / U8(u8"演示/演示软件.lnk"))) << "the start-menu switch was off";
}

TEST_F(SimulatePagesTest, MarksOtherThanTrueOrFalseAreRefusedByName) {
  fs::path setup = BuildDemo();
  ToolResult result =
      Simulate(setup, R"({"pages": {"TfrmSelComponent": {"List_Component": [1]}}})");
  EXPECT_EQ(result.code, tool::kExitFailure);
  EXPECT_TRUE(Has(result.err, "pages.TfrmSelComponent.List_Component")) << result.err;
  ToolResult empty = Simulate(setup, R"({"pages": {"TfrmSelComponent": {"List_Component": []}}})");
  EXPECT_EQ(empty.code, tool::kExitFailure);
}

TEST_F(SimulatePagesTest, AMarkBeyondTheListEndsTheRunAsAnError) {
  ToolResult result = Simulate(
      BuildDemo(), R"({"pages": {"TfrmSelComponent": {"List_Component": [true, true, false]}}})");
  EXPECT_EQ(result.code, tool::kExitFailure);
  EXPECT_TRUE(Has(result.err, "no item 2")) << result.err;
}

}  // namespace
}  // namespace tooltest
