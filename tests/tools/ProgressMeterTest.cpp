// The byte-based progress of build, verify, extract and simulate: each command's meter counts
// exactly the bytes it set out to count; the line shows bytes and the rate, and nothing at all
// is written when it is not shown.
#include <gtest/gtest.h>

#include "tests/tools/ToolFixture.h"
#include "tools/commands/ProgressMeter.h"

namespace tooltest {
namespace {

using tool::ProgressMeter;

TEST(ProgressMeter, LineShowsTheBytesTheShareAndTheRate) {
  std::ostringstream out;
  {
    ProgressMeter meter(out, true, 4 << 20);
    meter.Advance(1 << 20);  // the first advance draws at once
    EXPECT_EQ(meter.counted(), 1 << 20);
    const std::string line = out.str();
    EXPECT_EQ(line.rfind("\r[" + std::string(7, '#') + std::string(23, '.') + "] 1.0 MiB / 4.0 MiB  ",
                         0),
              0u)
        << line;
    EXPECT_EQ(line.find('\033'), std::string::npos) << "no escape sequences";
    meter.Advance(3 << 20);
    meter.Redraw();
    EXPECT_NE(out.str().find("] 4.0 MiB / 4.0 MiB  "), std::string::npos) << out.str();
  }
  // Ending takes the line off the terminal: spaces over it, the cursor back at its start.
  const std::string all = out.str();
  const size_t lastLine = all.rfind("\r[");
  const size_t lineLength = all.find('\r', lastLine + 1) - lastLine - 1;
  EXPECT_EQ(all.substr(all.size() - lineLength - 2), "\r" + std::string(lineLength, ' ') + "\r");
}

// "1024.0 KiB" then "1.0 MiB": the shorter line is padded so that nothing of the longer one
// stays on the terminal.
TEST(ProgressMeter, AShorterLineCoversTheLongerOneBeforeIt) {
  std::ostringstream out;
  ProgressMeter meter(out, true, int64_t{4} << 20);
  meter.Advance((int64_t{1} << 20) - 1);
  meter.Redraw();
  meter.Advance(1);
  meter.Redraw();
  std::vector<std::string> lines;
  std::stringstream drawn(out.str());
  for (std::string line; std::getline(drawn, line, '\r');) {
    if (!line.empty()) lines.push_back(line);
  }
  ASSERT_GE(lines.size(), 2u);
  EXPECT_NE(lines.back().find("] 1.0 MiB / 4.0 MiB"), std::string::npos) << lines.back();
  for (size_t i = 1; i < lines.size(); ++i) {
    EXPECT_GE(lines[i].size(), lines[i - 1].size()) << "'" << lines[i] << "' leaves '"
                                                    << lines[i - 1] << "' showing";
  }
}

TEST(ProgressMeter, NotShownWritesNothingButStillCounts) {
  std::ostringstream out;
  int64_t counted = -1, total = -1;
  {
    ProgressMeter meter(out, false, 100, [&](int64_t c, int64_t t) {
      counted = c;
      total = t;
    });
    meter.Advance(60);
    meter.Redraw();
    meter.Advance(40);
  }
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(counted, 100);
  EXPECT_EQ(total, 100);
}

TEST(ProgressMeter, ByteTextPicksTheUnit) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "0 B"},
      {1023, "1023 B"},
      {1024, "1.0 KiB"},
      {20000, "19.5 KiB"},
      {(int64_t{3} << 30) + (int64_t{1} << 29), "3.5 GiB"},
      {int64_t{5} << 40, "5.0 TiB"},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(tool::ByteText(bytes), text) << bytes;
}

class CommandProgressTest : public ToolTest {
 protected:
  // Bytes of the entries' stored data runs, as inspect reports them.
  int64_t StoredBytes(const fs::path& setup) {
    int64_t total = 0;
    const Json inspected = Json::parse(Run({"inspect", setup.string()}).out);
    for (const auto& entry : inspected["files"]) {
      if (entry["kind"] == "folder") continue;
      total += entry["stored"]["dataEnd"].get<int64_t>() - entry["stored"]["dataStart"].get<int64_t>();
    }
    return total;
  }
};

TEST_F(CommandProgressTest, BuildVerifyAndExtractCountEveryByteOfTheirWork) {
  fs::path json = WriteProject(SmallProject());
  fs::path setup = dir_ / "setup.exe";
  std::vector<MeterCount> meters;
  ToolResult built = Run({"build", json.string(), "--stub", Stub().string(), "-o", setup.string()},
                         &meters);
  ASSERT_EQ(built.code, 0) << built.err;
  // The content files: 20000 + 8 + 30 + 11 + 0 bytes.
  ASSERT_EQ(meters.size(), 1u);
  EXPECT_EQ(meters[0].total, 20049);
  EXPECT_EQ(meters[0].counted, 20049);

  const int64_t stored = StoredBytes(setup);
  ASSERT_GT(stored, 0);
  meters.clear();
  ASSERT_EQ(Run({"verify", setup.string()}, &meters).code, 0);
  ASSERT_EQ(meters.size(), 1u);
  EXPECT_EQ(meters[0].total, stored);
  EXPECT_EQ(meters[0].counted, stored);

  meters.clear();
  ASSERT_EQ(Run({"extract", setup.string(), (dir_ / "out").string()}, &meters).code, 0);
  ASSERT_EQ(meters.size(), 1u);
  EXPECT_EQ(meters[0].total, stored);
  EXPECT_EQ(meters[0].counted, stored);

  meters.clear();
  ASSERT_EQ(Run({"extract", setup.string(), "--entry", "1", "-o", (dir_ / "one").string()}, &meters)
                .code,
            0);
  ASSERT_EQ(meters.size(), 1u);
  EXPECT_EQ(meters[0].counted, meters[0].total);
  EXPECT_LT(meters[0].total, stored);
  // Nothing is drawn on a stream that is not a terminal.
  EXPECT_EQ(Run({"verify", setup.string()}).err.find('\r'), std::string::npos);
}

// A damaged entry stops verify part of the way through: the meter has counted less than all.
TEST_F(CommandProgressTest, VerifyStoppedByDamageCountsOnlyWhatItRead) {
  fs::path setup = BuildProject(SmallProject());
  const int64_t stored = StoredBytes(setup);
  Json inspected = Json::parse(Run({"inspect", setup.string()}).out);
  std::string bytes = Read(setup);
  const int64_t start = inspected["files"][1]["stored"]["dataStart"].get<int64_t>();
  bytes[static_cast<size_t>(start + 100)] ^= 0x55;
  fs::path damaged = Write("damaged.exe", bytes);
  std::vector<MeterCount> meters;
  EXPECT_EQ(Run({"verify", damaged.string()}, &meters).code, 1);
  ASSERT_EQ(meters.size(), 1u);
  EXPECT_EQ(meters[0].total, stored);
  EXPECT_LT(meters[0].counted, stored);
}

// simulate's bar counts the bytes of the files installed, not the files.
TEST_F(CommandProgressTest, SimulateCountsTheInstalledFilesBytes) {
  Write("content/big.dat", PatternBytes(300000));
  Write("content/small.txt", "small");
  auto file = [](const std::string& source, const std::string& content) {
    return Json{{"kind", "file"},
                {"source", source},
                {"content", content},
                {"destFolder", U8(u8"目标计算机\\Program Files\\Tool\\")}};
  };
  Json project;
  project["serial"] = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
  project["settings"] = Json::array({
      Json{{"caption", U8(u8"项目名称")}, {"value", "Tool"}, {"group", 0}},
      Json{{"caption", U8(u8"显示安装界面")}, {"value", U8(u8"禁用")}, {"group", 0}},
      Json{{"caption", U8(u8"默认安装路径")}, {"value", "[System ProgramFiles]\\Tool"}, {"group", 8}},
  });
  project["files"] = Json::array({file("D:\\pkg\\big.dat", "content/big.dat"),
                                  file("D:\\pkg\\small.txt", "content/small.txt")});
  fs::path setup = BuildProject(project);
  std::vector<MeterCount> meters;
  ToolResult result = Run({"simulate", setup.string(), "--root", (dir_ / "machine").string()}, &meters);
  ASSERT_EQ(result.code, 0) << result.err << result.out;
  ASSERT_EQ(meters.size(), 1u) << result.out;
  EXPECT_EQ(meters[0].total, 300005);
  EXPECT_EQ(meters[0].counted, 300005);
  EXPECT_EQ(result.out.find('\r'), std::string::npos);
}

}  // namespace
}  // namespace tooltest
