#include "engine/PackageCheck.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "package/uKernal.h"
#include "system/Error.h"
#include "system/Stream.h"

namespace {

// A chunk run of records with these lengths; the check reads only the lengths, never the data.
std::string ChunkRun(const std::vector<uint32_t>& lengths) {
  std::string bytes;
  for (uint32_t n : lengths) {
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(n >> shift);
    bytes.append(n, 'x');
  }
  return bytes;
}

std::string Verdict(const std::string& run) {
  sys::MemoryStream package(run);
  try {
    engine::VerifyChunkRun(package, 0, static_cast<int64_t>(run.size()));
    return "whole";
  } catch (const sys::Error& error) {
    return error.what();
  }
}

TEST(ChunkRunCheck, ARunCutInsideALengthOrClaimingMoreThanThePackageIsDamaged) {
  const std::string run = ChunkRun({3000, 9000, 40});
  EXPECT_EQ(Verdict(run), "whole");
  EXPECT_EQ(Verdict(run.substr(0, 3004 + 2)), package::kDamagedPackage);
  sys::MemoryStream package(run);
  EXPECT_THROW(engine::VerifyChunkRun(package, 0, static_cast<int64_t>(run.size()) + 1),
               sys::Error);
  EXPECT_THROW(engine::VerifyChunkRun(package, -1, 10), sys::Error);
}

}  // namespace
