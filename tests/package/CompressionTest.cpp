#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>

#include "package/ChunkCodec.h"
#include "package/LittleEndian.h"
#include "package/uCommon.h"
#include "system/Stream.h"
#include "tests/package/PackageTestUtil.h"

namespace {

using packagetest::ErrorOf;
using packagetest::Record;

std::string RandomBytes(size_t n, unsigned seed = 7) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(rng() % 7);  // compressible but not trivial
  return s;
}

// The unpacked sizes of the chunk records of a run, checked record by record.
std::vector<size_t> BlockSizes(const std::string& run) {
  std::vector<size_t> sizes;
  size_t at = 0;
  while (at < run.size()) {
    uint32_t n = le::LoadU32(reinterpret_cast<const unsigned char*>(run.data() + at));
    at += 4;
    sizes.push_back(package::InflateChunk(run.substr(at, n)).size());
    at += n;
  }
  EXPECT_EQ(at, run.size());
  return sizes;
}

TEST(Compression, CompressStreamCutsBlocksOf8192) {
  std::string data = RandomBytes(20000);
  sys::MemoryStream source(data);
  source.Seek(500);  // the whole source is taken, whatever its position
  sys::MemoryStream target;
  CompressStream(source, target);
  EXPECT_EQ(BlockSizes(target.bytes()), (std::vector<size_t>{8192, 8192, 3616}));

  sys::MemoryStream packed(target.bytes());
  sys::MemoryStream restored;
  DecompressStream(packed, restored);
  EXPECT_EQ(restored.bytes(), data);
  EXPECT_EQ(restored.Position(), 0);
}

TEST(Compression, CompressStreamUsesLevelNineByDefault) {
  sys::MemoryStream source(RandomBytes(3000));
  sys::MemoryStream target;
  CompressStream(source, target);
  // Byte 5 is the zlib header's FLG byte; 0xDA marks the maximum compression level.
  ASSERT_GE(target.bytes().size(), 6u);
  EXPECT_EQ(static_cast<unsigned char>(target.bytes()[4]), 0x78);
  EXPECT_EQ(static_cast<unsigned char>(target.bytes()[5]), 0xDA);
}

TEST(Compression, EmptySourceWritesNothing) {
  sys::MemoryStream source;
  sys::MemoryStream target;
  CompressStream(source, target);
  EXPECT_EQ(target.Size(), 0);
}

TEST(Compression, StoreStreamWritesTheSameRunWithStoredBlocks) {
  std::string data = RandomBytes(20000);
  sys::MemoryStream source(data);
  source.Seek(500);  // the whole source is taken, whatever its position
  sys::MemoryStream target;
  package::StoreStream(source, target);
  // Each record is its block with 4 bytes of length and 11 of zlib framing; inflating it checks
  // the framing and the Adler-32.
  EXPECT_EQ(BlockSizes(target.bytes()), (std::vector<size_t>{8192, 8192, 3616}));
  EXPECT_EQ(target.bytes().size(), data.size() + 3 * 15);
  EXPECT_EQ(target.bytes().substr(4 + 7, 8192), data.substr(0, 8192));

  sys::MemoryStream packed(target.bytes());
  sys::MemoryStream restored;
  DecompressStream(packed, restored);
  EXPECT_EQ(restored.bytes(), data);
}

TEST(Compression, StoreStreamWritesNoEmptyChunk) {
  for (size_t size :
       {size_t{0}, size_t{1}, package::kChunkBlockSize, 2 * package::kChunkBlockSize}) {
    sys::MemoryStream source(RandomBytes(size));
    sys::MemoryStream target;
    package::StoreStream(source, target);
    const std::vector<size_t> sizes = BlockSizes(target.bytes());
    EXPECT_EQ(sizes.size(), (size + package::kChunkBlockSize - 1) / package::kChunkBlockSize)
        << size;
    for (size_t each : sizes) EXPECT_NE(each, 0u) << size;
  }
}

TEST(Compression, LevelsMapToZlibLevels) {
  EXPECT_EQ(package::ZlibLevel(cplNone), 0);
  EXPECT_EQ(package::ZlibLevel(cplSpeed), 1);
  EXPECT_EQ(package::ZlibLevel(cplPress), 9);
  EXPECT_EQ(package::ZlibLevel(cplDefault), Z_DEFAULT_COMPRESSION);
  EXPECT_EQ(package::ZlibLevel(static_cast<TCompressLevelEnum>(17)), Z_DEFAULT_COMPRESSION);
}

TEST(Compression, ChunkRoundTripsAtEveryLevel) {
  std::string data = RandomBytes(8192, 3);
  for (auto level : {cplNone, cplSpeed, cplPress, cplDefault})
    EXPECT_EQ(package::InflateChunk(package::CompressChunk(data, level)), data) << int(level);
}

TEST(Compression, CorruptChunksAreErrors) {
  std::string good = package::CompressChunk(RandomBytes(5000), cplDefault);
  std::string badChecksum = good;
  badChecksum.back() ^= 0x01;
  std::string badData = good;
  badData[good.size() / 2] ^= 0x55;
  std::string cutShort = good.substr(0, good.size() - 5);
  std::string trailing = good + "xx";
  for (const std::string& chunk : {badChecksum, badData, cutShort, trailing, std::string()})
    EXPECT_EQ(ErrorOf([&] { package::InflateChunk(chunk); }), "error");
}

TEST(Compression, ChunkOutputIsLimited) {
  std::string atLimit(package::kMaxChunkOutput, 'z');
  EXPECT_EQ(package::InflateChunk(package::CompressChunk(atLimit, cplPress)).size(),
            package::kMaxChunkOutput);
  std::string bomb(package::kMaxChunkOutput + 1, 'z');
  EXPECT_EQ(ErrorOf([&] { package::InflateChunk(package::CompressChunk(bomb, cplPress)); }),
            "error");
}

// The bound is written out rather than asked of zlib; it must stay zlib's own.
TEST(Compression, LongestChunkIsZlibsBound) {
  EXPECT_EQ(package::ChunkInflater::MaxChunkInput(), compressBound(package::kMaxChunkOutput));
}

TEST(Compression, DecompressStreamKeepsVerifiedChunksBeforeAFault) {
  std::string first = RandomBytes(8192, 1);
  std::string run = Record(package::CompressChunk(first, cplDefault)) + Record("not zlib");
  sys::MemoryStream source(run);
  sys::MemoryStream target;
  EXPECT_EQ(ErrorOf([&] { DecompressStream(source, target); }), "error");
  EXPECT_EQ(target.bytes(), first);
}

TEST(Compression, RecordLongerThanTheStreamIsDamaged) {
  std::string chunk = package::CompressChunk("hello", cplDefault);
  std::string run = packagetest::Le32(static_cast<uint32_t>(chunk.size() + 10)) + chunk;
  sys::MemoryStream source(run);
  sys::MemoryStream target;
  EXPECT_EQ(ErrorOf([&] { DecompressStream(source, target); }), package::kDamagedPackage);
  sys::MemoryStream header(std::string("\x05\x00", 2));  // a length cut in half
  EXPECT_EQ(ErrorOf([&] { DecompressStream(header, target); }), package::kDamagedPackage);
  sys::MemoryStream empty(packagetest::Le32(0));  // a record of no bytes holds no zlib stream
  EXPECT_EQ(ErrorOf([&] { DecompressStream(empty, target); }), "error");
}

TEST(Compression, InflaterReusedAcrossRunsGivesIndependentResults) {
  package::ChunkInflater inflater;
  std::string a = RandomBytes(30000, 11);
  std::string b = RandomBytes(100, 12);
  for (const std::string& data : {a, b, a}) {
    sys::MemoryStream source(packagetest::ChunkRun(data));
    sys::MemoryStream target;
    inflater.CopyRun(source, 0, source.Size(), target);
    EXPECT_EQ(target.bytes(), data);
  }
}

// An install run unpacks every entry with one inflater: an entry that fails part way (zlib left
// inside a stream, a batch half filled) must not leak into the next one.
TEST(Compression, InflaterReusedAfterAFaultGivesTheNextRunIntact) {
  package::ChunkInflater inflater;
  std::string good = RandomBytes(20000, 13);
  std::string chunk = package::CompressChunk(RandomBytes(8192, 14), cplDefault);
  std::string cut = Record(package::CompressChunk(good.substr(0, 8192), cplDefault)) +
                    Record(chunk.substr(0, chunk.size() / 2));
  sys::MemoryStream damaged(cut);
  sys::MemoryStream partial;
  EXPECT_EQ(ErrorOf([&] { inflater.CopyRun(damaged, 0, damaged.Size(), partial); }), "error");
  EXPECT_EQ(partial.bytes(), good.substr(0, 8192));
  sys::MemoryStream source(packagetest::ChunkRun(good));
  sys::MemoryStream target;
  inflater.CopyRun(source, 0, source.Size(), target);
  EXPECT_EQ(target.bytes(), good);
}

}  // namespace
