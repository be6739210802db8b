// verify: OK for what build writes; the first damaged entry, its offset and a failing exit code
// for anything else.
#include <gtest/gtest.h>

#include "tests/tools/ToolFixture.h"

namespace tooltest {
namespace {

class VerifyTest : public ToolTest {
 protected:
  void SetUp() override {
    setup_ = BuildProject(SmallProject());
    stored_ = Json::parse(Run({"inspect", setup_.string()}).out);
  }

  void PatchByte(int64_t offset, unsigned char value) {
    std::string bytes = Read(setup_);
    bytes.at(static_cast<size_t>(offset)) = static_cast<char>(value);
    std::ofstream(setup_, std::ios::binary | std::ios::trunc) << bytes;
  }

  void PatchU32(int64_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) PatchByte(offset + i, static_cast<unsigned char>(value >> (8 * i)));
  }

  int64_t Stored(size_t entry, const char* field) const {
    return stored_["files"][entry]["stored"][field].get<int64_t>();
  }

  fs::path setup_;
  Json stored_;
};

TEST_F(VerifyTest, FreshBuildIsOk) {
  ToolResult result = Run({"verify", setup_.string()});
  EXPECT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(result.out.rfind("OK: 6 entries (5 with data", 0), 0u) << result.out;
}

TEST_F(VerifyTest, CorruptByteInsideAChunkNamesTheEntryAndOffset) {
  const int64_t start = Stored(1, "dataStart");
  std::string bytes = Read(setup_);
  PatchByte(start + 4 + 20, static_cast<unsigned char>(bytes[start + 4 + 20] ^ 0x55));
  ToolResult result = Run({"verify", setup_.string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("entry 1 (tool.exe): offset " + std::to_string(start) + ":"),
            std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find("zlib"), std::string::npos) << result.err;
}

TEST_F(VerifyTest, FaultInALaterChunkPointsAtThatChunk) {
  const int64_t start = Stored(1, "dataStart");
  std::string bytes = Read(setup_);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + start);
  const int64_t second = start + 4 + (p[0] | p[1] << 8 | p[2] << 16 | int64_t{p[3]} << 24);
  PatchU32(second, 0x7FFFFFFF);
  ToolResult result = Run({"verify", setup_.string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("entry 1 (tool.exe): offset " + std::to_string(second) +
                            ": chunk length 2147483647 runs past the end of the run"),
            std::string::npos)
      << result.err;
}

TEST_F(VerifyTest, DamagedResourceIsNamedByItsFileName) {
  PatchByte(Stored(2, "dataStart") + 5, 0xFF);
  ToolResult result = Run({"verify", setup_.string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("entry 2 (licence.txt)"), std::string::npos) << result.err;
}

TEST_F(VerifyTest, DamagedConfigurationIsReported) {
  PatchByte(stored_["package"]["directoryOffset"].get<int64_t>() + 10, 0x00);
  ToolResult result = Run({"verify", setup_.string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("configuration"), std::string::npos) << result.err;
}

TEST_F(VerifyTest, TrailerPointingOutsideTheFileIsReported) {
  const int64_t length = stored_["package"]["fileLength"].get<int64_t>();
  PatchU32(length - 8, 0x7FFFFFF0);
  ToolResult result = Run({"verify", setup_.string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("trailer"), std::string::npos) << result.err;
}

TEST_F(VerifyTest, SizeThatDisagreesWithTheFilesIsReported) {
  const int64_t length = stored_["package"]["fileLength"].get<int64_t>();
  PatchByte(length - 16, 0x01);
  ToolResult result = Run({"verify", setup_.string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("trailer: Size"), std::string::npos) << result.err;
}

TEST_F(VerifyTest, FileShorterThanATrailerFails) {
  fs::path tiny = Write("tiny.exe", "MZ");
  ToolResult result = Run({"verify", tiny.string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("shorter than a package trailer"), std::string::npos) << result.err;
}

TEST_F(VerifyTest, StubWithoutPackageFails) {
  ToolResult result = Run({"verify", Stub().string()});
  EXPECT_EQ(result.code, 1);
}

}  // namespace
}  // namespace tooltest
