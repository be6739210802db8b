#include "system/ReadAheadStream.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "system/Error.h"

namespace {

// The bytes of a MemoryStream, counting the reads that reach it.
class CountingSource : public sys::MemoryStream {
 public:
  CountingSource(std::string bytes, int& reads) : MemoryStream(std::move(bytes)), reads_(reads) {}
  size_t Read(void* buffer, size_t count) override {
    ++reads_;
    return MemoryStream::Read(buffer, count);
  }

 private:
  int& reads_;
};

std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  return bytes;
}

TEST(ReadAheadStream, ReadsWhatTheSourceHoldsWhateverTheSeeksAndSizes) {
  const std::string bytes = Pattern(10000);
  int reads = 0;
  sys::ReadAheadStream stream(std::make_unique<CountingSource>(bytes, reads), 1024);
  sys::MemoryStream expected(bytes);
  std::mt19937 random(18);
  for (int i = 0; i < 2000; ++i) {
    const int64_t at = static_cast<int64_t>(random() % 10100);  // past the end too
    const size_t count = random() % 4 == 0 ? random() % 3000 : random() % 300;
    stream.Seek(at);
    expected.Seek(at);
    std::string got(count, '\0'), want(count, '\0');
    got.resize(stream.Read(got.data(), count));
    want.resize(expected.Read(want.data(), count));
    ASSERT_EQ(got, want) << "at " << at << ", " << count << " bytes";
    ASSERT_EQ(stream.Position(), expected.Position());
  }
  EXPECT_EQ(stream.Size(), 10000);
}

TEST(ReadAheadStream, SmallReadsInARowCostOneSourceReadPerBlockAndLargeOnesGoStraight) {
  int reads = 0;
  sys::ReadAheadStream stream(std::make_unique<CountingSource>(Pattern(8192), reads), 4096);
  char small[100];
  for (int i = 0; i < 40; ++i) ASSERT_EQ(stream.Read(small, sizeof small), sizeof small);
  EXPECT_EQ(reads, 1);
  stream.Seek(0);
  ASSERT_EQ(stream.Read(small, sizeof small), sizeof small);
  EXPECT_EQ(reads, 1);  // still in the block

  // Running off the block: its rest, then the next block.
  std::string across(200, '\0');
  stream.Seek(4000);
  ASSERT_EQ(stream.Read(across.data(), across.size()), across.size());
  EXPECT_EQ(across, Pattern(8192).substr(4000, 200));
  EXPECT_EQ(reads, 2);

  // A block's worth goes straight to the source and leaves the block as it was.
  std::string large(4096, '\0');
  stream.Seek(0);
  ASSERT_EQ(stream.Read(large.data(), large.size()), large.size());
  EXPECT_EQ(large, Pattern(8192).substr(0, 4096));
  EXPECT_EQ(reads, 3);
  stream.Seek(4100);
  ASSERT_EQ(stream.Read(small, sizeof small), sizeof small);
  EXPECT_EQ(reads, 3);
  EXPECT_THROW(stream.Write("x", 1), sys::Error);
}

}  // namespace
