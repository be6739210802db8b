#include "engine/FileTimes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr uint64_t kTicksPerSecond = 10000000;
// FILETIME of 2020-01-02 00:00:00: days from 1601-01-01 to 2020-01-02 are 153037.
constexpr uint64_t kJan2nd2020 = 153037ull * 86400 * kTicksPerSecond;

// 2020-01-02 is day 43832 after 1899-12-30.
double DateTime(double day, int h, int m, int s) { return day + (h * 3600 + m * 60 + s) / 86400.0; }

TEST(DosLocalFileTime, OddSecondsRoundDownToTheDosTwoSeconds) {
  auto time = engine::DosLocalFileTime(DateTime(43832, 3, 4, 5));
  ASSERT_TRUE(time.has_value());
  EXPECT_EQ(*time, kJan2nd2020 + (3 * 3600 + 4 * 60 + 4) * kTicksPerSecond);
  EXPECT_EQ(*engine::DosLocalFileTime(DateTime(43832, 3, 4, 4)), *time);
}

TEST(DosLocalFileTime, MidnightAndTheLastDosSecond) {
  EXPECT_EQ(*engine::DosLocalFileTime(43832.0), kJan2nd2020);
  EXPECT_EQ(*engine::DosLocalFileTime(DateTime(43832, 23, 59, 59)),
            kJan2nd2020 + (86400 - 2) * kTicksPerSecond);
}

TEST(DosLocalFileTime, DatesADosDateCannotHoldAreRefused) {
  EXPECT_FALSE(engine::DosLocalFileTime(-1.0).has_value());  // the value folders carry
  EXPECT_FALSE(engine::DosLocalFileTime(29220.5).has_value());  // 1979-12-31
  EXPECT_TRUE(engine::DosLocalFileTime(29221.0).has_value());   // 1980-01-01
  EXPECT_TRUE(engine::DosLocalFileTime(75971.5).has_value());   // 2107-12-31
  EXPECT_FALSE(engine::DosLocalFileTime(75972.0).has_value());  // 2108-01-01
  EXPECT_FALSE(engine::DosLocalFileTime(std::numeric_limits<double>::quiet_NaN()).has_value());
  EXPECT_FALSE(engine::DosLocalFileTime(std::numeric_limits<double>::infinity()).has_value());
}

}  // namespace
