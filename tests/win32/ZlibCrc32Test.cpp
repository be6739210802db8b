// Our table-free crc32() stands in for zlib's in the Windows programs: it must give zlib's
// values, and zlib's own gzip paths, which are its only callers, must still work through it.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

namespace {

uLong Crc(const std::string& bytes, uLong crc = 0) {
  return crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
}

// Unpacks a whole gzip stream into out (sized for the contents); inflate's last result.
int InflateGzip(std::vector<Bytef> packed, std::string& out) {
  z_stream inflater{};
  if (inflateInit2(&inflater, 15 + 16) != Z_OK) return Z_STREAM_ERROR;
  inflater.next_in = packed.data();
  inflater.avail_in = static_cast<uInt>(packed.size());
  inflater.next_out = reinterpret_cast<Bytef*>(out.data());
  inflater.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&inflater, Z_FINISH);
  inflateEnd(&inflater);
  return result;
}

TEST(ZlibCrc32, GivesTheStandardValuesInOnePieceOrMany) {
  EXPECT_EQ(crc32(0, nullptr, 0), 0u);
  EXPECT_EQ(Crc(""), 0u);
  EXPECT_EQ(Crc("123456789"), 0xCBF43926u);  // the published check value of CRC-32
  EXPECT_EQ(Crc("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
  EXPECT_EQ(Crc(std::string("\0\xff\x80", 3)), 0x81DDA740u);
  EXPECT_EQ(Crc("6789", Crc("12345")), 0xCBF43926u);
}

// A gzip stream carries the CRC-32 of its contents, which inflate checks: a wrong value fails
// the stream with Z_DATA_ERROR.
TEST(ZlibCrc32, ZlibWritesAndChecksGzipStreamsThroughIt) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += static_cast<char>('a' + (i * 7919) % 26);
  std::vector<Bytef> packed(compressBound(static_cast<uLong>(text.size())) + 32);

  z_stream deflater{};
  ASSERT_EQ(deflateInit2(&deflater, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY), Z_OK);  // gzip
  deflater.next_in = reinterpret_cast<Bytef*>(text.data());
  deflater.avail_in = static_cast<uInt>(text.size());
  deflater.next_out = packed.data();
  deflater.avail_out = static_cast<uInt>(packed.size());
  ASSERT_EQ(deflate(&deflater, Z_FINISH), Z_STREAM_END);
  packed.resize(deflater.total_out);
  deflateEnd(&deflater);
  // The gzip trailer: CRC-32 then length, both little-endian.
  const uLong stored = packed[packed.size() - 8] | packed[packed.size() - 7] << 8 |
                       packed[packed.size() - 6] << 16 | static_cast<uLong>(packed[packed.size() - 5]) << 24;
  EXPECT_EQ(stored, Crc(text));

  std::string unpacked(text.size(), '\0');
  EXPECT_EQ(InflateGzip(packed, unpacked), Z_STREAM_END);
  EXPECT_EQ(unpacked, text);

  packed[packed.size() - 8] ^= 1;  // the stored CRC no longer matches
  EXPECT_EQ(InflateGzip(packed, unpacked), Z_DATA_ERROR);
}

}  // namespace
