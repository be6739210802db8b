// Every way Ins.log can be unusable ends the uninstall with a clear message, before the
// question, with nothing on the machine changed: missing, unreadable, empty, cut anywhere,
// corrupted, a count or length the bytes cannot hold, a body that would inflate without bound,
// and items the removal could not act on safely.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "system/Error.h"
#include "system/sandbox/FaultInjection.h"
#include "tests/uninstaller/UninstallerFixture.h"
#include "uninstaller/UninstallLog.h"

namespace uninsttest {
namespace {

// An encoder of the log's body and chunk records of its own, so malformed logs can be written.
class BodyWriter {
 public:
  BodyWriter& Int(int32_t value) {
    uint32_t u = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) body_.push_back(static_cast<char>(u >> (8 * i)));
    return *this;
  }
  BodyWriter& Str(const std::string& text) {
    Int(static_cast<int32_t>(text.size()));
    body_ += text;
    return *this;
  }
  BodyWriter& Byte(uint8_t b) {
    body_.push_back(static_cast<char>(b));
    return *this;
  }
  BodyWriter& Item(const std::string& root, const std::string& path, const std::string& name,
                   uint8_t remove, uint8_t kind) {
    return Str(root).Str(path).Str(name).Byte(remove).Byte(kind);
  }
  const std::string& body() const { return body_; }

 private:
  std::string body_;
};

std::string Chunk(const std::string& bytes) {
  uLongf size = compressBound(bytes.size());
  std::string out(size, '\0');
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                      reinterpret_cast<const Bytef*>(bytes.data()), bytes.size(), 9),
            Z_OK);
  out.resize(size);
  std::string record;
  for (int i = 0; i < 4; ++i) record.push_back(static_cast<char>(out.size() >> (8 * i)));
  return record + out;
}

std::string Header(int32_t count) {
  return BodyWriter().Str("小工具").Str(kSerial).Int(count).body();
}

// One item after a good header.
std::string LogOf(const std::string& root, const std::string& path, const std::string& name,
                  uint8_t remove, uint8_t kind) {
  return Chunk(Header(1) + BodyWriter().Item(root, path, name, remove, kind).body());
}

class DamagedLogTest : public UninstallerTest {
 protected:
  void SetUp() override {
    InstallProduct();
    good_ = host.ReadFile(kLog);
  }

  // Writes bytes as the log, runs the uninstall, and checks it refused with message and left
  // the machine exactly as it was.
  void ExpectRefused(const std::string& bytes, const char* messageTemplate, const std::string& mode) {
    SCOPED_TRACE(mode);
    host.WriteFile(kLog, bytes);
    platform().ForgetHostListings();
    ExpectRefusedAsItIs(messageTemplate);
  }

  void ExpectRefusedAsItIs(const char* messageTemplate) {
    auto before = Snapshot(host);
    ScriptedDialogs fresh;
    uninst::UninstallReport report = uninst::RunUninstall(platform(), kLog, fresh);
    const std::string message = sys::Format(messageTemplate, kLog);
    EXPECT_EQ(report.error, message);
    EXPECT_FALSE(report.confirmed);
    EXPECT_TRUE(report.items.empty());
    EXPECT_EQ(fresh.errors, std::vector<std::string>{message});
    EXPECT_TRUE(fresh.confirmed.empty()) << "asked before the log was known to be sound";
    EXPECT_FALSE(fresh.outcome.has_value());
    EXPECT_EQ(Snapshot(host), before);
  }

  std::string good_;
};

TEST_F(DamagedLogTest, MissingLog) {
  ASSERT_TRUE(platform().RemoveFile(kLog));
  ExpectRefusedAsItIs(uninst::kLogMissing);
  ASSERT_TRUE(platform().ForceDirectories(kLog));
  ExpectRefusedAsItIs(uninst::kLogMissing);
}

TEST_F(DamagedLogTest, UnreadableLog) {
  platform().InjectFault(sys::sandbox::FaultRule{sys::sandbox::FaultOp::Open, "ins.log", 32, 0});
  ExpectRefusedAsItIs(uninst::kLogUnreadable);
}

TEST_F(DamagedLogTest, EmptyLog) { ExpectRefused("", uninst::kLogDamaged, "empty"); }

TEST_F(DamagedLogTest, LogCutAtAnyByte) {
  for (size_t size = 0; size < good_.size(); ++size) {
    ExpectRefused(good_.substr(0, size), uninst::kLogDamaged, "cut at " + std::to_string(size));
  }
}

TEST_F(DamagedLogTest, CorruptedBytesOrTrailingBytes) {
  for (size_t at = 0; at < good_.size(); at += 7) {
    std::string bad = good_;
    bad[at] = static_cast<char>(bad[at] ^ 0x5A);
    ExpectRefused(bad, uninst::kLogDamaged, "byte " + std::to_string(at) + " flipped");
  }
  ExpectRefused(good_ + "xyz", uninst::kLogDamaged, "trailing bytes");
}

TEST_F(DamagedLogTest, CountsAndLengthsTheBytesCannotHold) {
  const std::string item = BodyWriter().Item("", "C:\\App\\tool.exe", "", 1, 0).body();
  ExpectRefused(Chunk(Header(2) + item), uninst::kLogDamaged, "count one too many");
  ExpectRefused(Chunk(Header(0x7FFFFFFF) + item), uninst::kLogDamaged, "huge count");
  ExpectRefused(Chunk(Header(-1) + item), uninst::kLogDamaged, "negative count");
  ExpectRefused(Chunk(BodyWriter().Str("小工具").Int(0x7FFFFFF0).body()), uninst::kLogDamaged,
                "string longer than the body");
  ExpectRefused(Chunk(Header(1) + BodyWriter().Str("").Int(-5).body()), uninst::kLogDamaged,
                "negative string length");
}

TEST_F(DamagedLogTest, ABodyThatWouldInflateWithoutBound) {
  // 33 chunks of a mebibyte of zeros each: a few kilobytes on disk, past the 32 MiB a log may
  // have once inflated.
  std::string bomb = Chunk(Header(1) + std::string(1 << 20, '\0'));
  for (int i = 0; i < 32; ++i) bomb += Chunk(std::string(1 << 20, '\0'));
  ASSERT_LT(bomb.size(), 64u * 1024);
  ExpectRefused(bomb, uninst::kLogDamaged, "inflation bomb");
}

TEST_F(DamagedLogTest, ItemsTheRemovalCannotActOnSafely) {
  const std::string hklm = "2147483650";
  struct Mode {
    const char* name;
    std::string bytes;
  };
  const std::vector<Mode> modes = {
      {"unknown kind", LogOf("", "C:\\App\\tool.exe", "", 1, 3)},
      {"remove flag 2", LogOf("", "C:\\App\\tool.exe", "", 2, 0)},
      {"relative file", LogOf("", "App\\tool.exe", "", 1, 0)},
      {"drive-relative file", LogOf("", "C:tool.exe", "", 1, 0)},
      {"drive root folder", LogOf("", "C:\\", "", 1, 1)},
      {"bare share", LogOf("", "\\\\server\\share", "", 1, 1)},
      {"empty folder path", LogOf("", "", "", 1, 1)},
      {"file with a root key", LogOf(hklm, "C:\\App\\tool.exe", "", 1, 0)},
      {"folder with a value name", LogOf("", "C:\\App", "x", 1, 1)},
      {"unknown root", LogOf("2147483652", "Software\\Tool", "", 1, 2)},
      {"root as a bare handle", LogOf("0", "Software\\Tool", "", 1, 2)},
      {"root itself", LogOf(hklm, "\\", "", 1, 2)},
      {"empty key path", LogOf(hklm, "", "Path", 1, 2)},
      {"file on a share", LogOf("", "\\\\server\\share\\App\\tool.exe", "", 1, 0)},
      {"folder on a share", LogOf("", "\\\\server\\share\\App", "", 1, 1)},
      {"share by forward slashes", LogOf("", "//server/share/App/tool.exe", "", 1, 0)},
      {"long-path prefix", LogOf("", "\\\\?\\C:\\App\\tool.exe", "", 1, 0)},
      {"device namespace", LogOf("", "\\\\.\\C:\\App\\tool.exe", "", 1, 0)},
      {"device volume", LogOf("", "\\\\.\\PhysicalDrive0", "", 1, 0)},
      {"device name", LogOf("", "C:\\App\\NUL", "", 1, 0)},
      {"device name with extension", LogOf("", "C:\\App\\com1.txt", "", 1, 0)},
      {"device folder", LogOf("", "C:\\App\\AUX", "", 1, 1)},
      {"climbing out", LogOf("", "C:\\App\\..\\Windows\\win.ini", "", 1, 0)},
      {"stream of a file", LogOf("", "C:\\App\\tool.exe:hidden", "", 1, 0)},
  };
  for (const Mode& mode : modes) ExpectRefused(mode.bytes, uninst::kLogDamaged, mode.name);
}

TEST_F(DamagedLogTest, OneBadItemAmongGoodOnesStopsEverything) {
  BodyWriter body;
  body.Item("", "C:\\App\\tool.exe", "", 1, 0).Item("", "C:\\App\\Sub\\core.dll", "", 1, 0);
  body.Item("", "C:\\App\\keep.ini", "", 1, 9);
  ExpectRefused(Chunk(Header(3) + body.body()), uninst::kLogDamaged, "bad last item");
}

TEST_F(DamagedLogTest, TheIntactLogStillWorksAfterwards) {
  ExpectRefused("", uninst::kLogDamaged, "empty");
  host.WriteFile(kLog, good_);
  platform().ForgetHostListings();
  EXPECT_TRUE(Uninstall().Completed());
  EXPECT_FALSE(Exists("C:\\App\\tool.exe"));
}

}  // namespace
}  // namespace uninsttest
