// Ins.log as the uninstaller reads it, checked by a decoder of its own that shares nothing with
// the runtime's stream helpers: chunk records read by hand and inflated with zlib directly.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "system/Platform.h"
#include "tests/support/host/SandboxHost.h"
#include "undo/uUnInstall.h"

namespace {

uint32_t LittleEndian32(const std::string& bytes, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

std::string Inflate(const std::string& stream) {
  z_stream z{};
  EXPECT_EQ(inflateInit(&z), Z_OK);
  std::string out;
  char buffer[4096];
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
  z.avail_in = static_cast<uInt>(stream.size());
  int rc = Z_OK;
  while (rc == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    rc = inflate(&z, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - z.avail_out);
  }
  EXPECT_EQ(rc, Z_STREAM_END);
  EXPECT_EQ(z.avail_in, 0u) << "bytes after the end of the zlib stream";
  inflateEnd(&z);
  return out;
}

std::string CompressLevel9(const std::string& slice) {
  uLongf size = compressBound(slice.size());
  std::string out(size, '\0');
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                      reinterpret_cast<const Bytef*>(slice.data()), slice.size(), 9),
            Z_OK);
  out.resize(size);
  return out;
}

struct Chunk {
  std::string compressed;
  std::string plain;
};

std::vector<Chunk> ReadChunks(const std::string& file) {
  std::vector<Chunk> chunks;
  size_t at = 0;
  while (at < file.size()) {
    EXPECT_LE(at + 4, file.size());
    uint32_t n = LittleEndian32(file, at);
    EXPECT_LE(at + 4 + n, file.size());
    Chunk chunk;
    chunk.compressed = file.substr(at + 4, n);
    chunk.plain = Inflate(chunk.compressed);
    chunks.push_back(chunk);
    at += 4 + n;
  }
  return chunks;
}

struct DecodedLog {
  std::string itemName;
  std::string serial;
  std::vector<TUnInsData> items;
};

class BodyReader {
 public:
  explicit BodyReader(const std::string& body) : body_(body) {}
  std::string String() {
    uint32_t n = LittleEndian32(body_, at_);
    std::string text = body_.substr(at_ + 4, n);
    at_ += 4 + n;
    return text;
  }
  uint32_t Count() {
    uint32_t n = LittleEndian32(body_, at_);
    at_ += 4;
    return n;
  }
  uint8_t Byte() { return static_cast<uint8_t>(body_.at(at_++)); }
  bool AtEnd() const { return at_ == body_.size(); }

 private:
  const std::string& body_;
  size_t at_ = 0;
};

DecodedLog DecodeBody(const std::string& body) {
  BodyReader reader(body);
  DecodedLog log;
  log.itemName = reader.String();
  log.serial = reader.String();
  uint32_t count = reader.Count();
  for (uint32_t i = 0; i < count; ++i) {
    TUnInsData item;
    item.RootKey = reader.String();
    item.Path = reader.String();
    item.ValueName = reader.String();
    item.Remove = reader.Byte();
    item.Kind = reader.Byte();
    log.items.push_back(item);
  }
  EXPECT_TRUE(reader.AtEnd()) << "bytes after the last item";
  return log;
}

class InsLogFormat : public testing::Test {
 protected:
  std::string SaveAndRead(TUnInstall& log) {
    log.SaveToFile("C:\\App\\Ins.log");
    return host_.ReadFile("C:\\App\\Ins.log");
  }

  testsupport::SandboxHost host_;
  sys::Platform& platform_ = host_.platform();
  sys::ScopedCurrentPlatform current_{host_.platform()};
};

TEST_F(InsLogFormat, EmptyLogIsOneChunkOfTheHeaderAndCountZero) {
  platform_.ForceDirectories("C:\\App");
  TUnInstall log(platform_);
  log.SetItemName("演示");
  log.SetSerial("S-1");
  std::vector<Chunk> chunks = ReadChunks(SaveAndRead(log));
  ASSERT_EQ(chunks.size(), 1u);
  const std::string expected = std::string("\x04\0\0\0", 4) + "演示" + std::string("\x03\0\0\0", 4) +
                               "S-1" + std::string("\0\0\0\0", 4);
  EXPECT_EQ(chunks[0].plain, expected);
}

TEST_F(InsLogFormat, ItemsAreStoredAsThreeStringsAndTwoBytesInRecordedOrder) {
  platform_.ForceDirectories("C:\\App");
  TUnInstall log(platform_);
  log.SetItemName("X");
  log.SetSerial("Y");
  log.AddDir("C:\\App");
  log.AddFile("C:\\App\\a.exe", 0);
  log.AddRegValue("2147483649", "Software\\X", "Name");
  std::string body;
  for (const Chunk& chunk : ReadChunks(SaveAndRead(log))) body += chunk.plain;
  DecodedLog decoded = DecodeBody(body);
  EXPECT_EQ(decoded.itemName, "X");
  EXPECT_EQ(decoded.serial, "Y");
  ASSERT_EQ(decoded.items.size(), 3u);
  EXPECT_EQ(decoded.items[0].Path, "C:\\App");
  EXPECT_EQ(decoded.items[0].Kind, 1);
  EXPECT_EQ(decoded.items[0].Remove, 1);
  EXPECT_EQ(decoded.items[1].Path, "C:\\App\\a.exe");
  EXPECT_EQ(decoded.items[1].Kind, 0);
  EXPECT_EQ(decoded.items[1].Remove, 0);
  EXPECT_EQ(decoded.items[1].RootKey, "");
  EXPECT_EQ(decoded.items[2].RootKey, "2147483649");
  EXPECT_EQ(decoded.items[2].Path, "Software\\X");
  EXPECT_EQ(decoded.items[2].ValueName, "Name");
  EXPECT_EQ(decoded.items[2].Kind, 2);
  EXPECT_EQ(decoded.items[2].Remove, 1);
}

TEST_F(InsLogFormat, LargeBodyIsCutInto8192ByteSlicesEachCompressedAtLevel9) {
  platform_.ForceDirectories("C:\\App");
  TUnInstall log(platform_);
  log.SetItemName("X");
  log.SetSerial("Y");
  for (int i = 0; i < 2000; ++i) log.AddFile("C:\\App\\file" + std::to_string(i) + ".dat", 1);
  std::vector<Chunk> chunks = ReadChunks(SaveAndRead(log));
  ASSERT_GE(chunks.size(), 3u);
  std::string body;
  for (size_t i = 0; i < chunks.size(); ++i) {
    if (i + 1 < chunks.size()) {
      EXPECT_EQ(chunks[i].plain.size(), 8192u) << "chunk " << i;
    } else {
      EXPECT_GE(chunks[i].plain.size(), 1u);
      EXPECT_LE(chunks[i].plain.size(), 8192u);
    }
    // 78 DA: a zlib header announcing maximum compression.
    EXPECT_EQ(static_cast<unsigned char>(chunks[i].compressed[0]), 0x78);
    EXPECT_EQ(static_cast<unsigned char>(chunks[i].compressed[1]), 0xDA);
    EXPECT_EQ(chunks[i].compressed, CompressLevel9(chunks[i].plain)) << "chunk " << i;
    body += chunks[i].plain;
  }
  DecodedLog decoded = DecodeBody(body);
  ASSERT_EQ(decoded.items.size(), 2000u);
  EXPECT_EQ(decoded.items[1999].Path, "C:\\App\\file1999.dat");
}

TEST_F(InsLogFormat, LoadReadsWhatAnotherWriterStored) {
  // A log written chunk by chunk outside the runtime, cut mid-string at the slice boundary.
  std::string body = std::string("\x01\0\0\0", 4) + "P" + std::string("\x01\0\0\0", 4) + "Q" +
                     std::string("\x01\0\0\0", 4);
  body += std::string("\0\0\0\0", 4) + std::string("\x0A\0\0\0", 4) + "D:\\Old\\a.b" +
          std::string("\0\0\0\0", 4) + "\x01" + std::string(1, '\0');
  std::string file;
  for (size_t at = 0; at < body.size(); at += 7) {
    std::string compressed = CompressLevel9(body.substr(at, 7));
    uint32_t n = static_cast<uint32_t>(compressed.size());
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<char>(n >> (8 * i)));
    file += compressed;
  }
  host_.WriteFile("C:\\App\\Ins.log", file);
  TUnInstall log(platform_);
  log.LoadFromFile("C:\\App\\Ins.log");
  EXPECT_EQ(log.ItemName(), "P");
  EXPECT_EQ(log.Serial(), "Q");
  ASSERT_EQ(log.Items().size(), 1u);
  EXPECT_EQ(log.Items()[0]->Path, "D:\\Old\\a.b");
  EXPECT_EQ(log.Items()[0]->Remove, 1);
  EXPECT_EQ(log.Items()[0]->Kind, 0);
}

}  // namespace
