#include <gtest/gtest.h>

#include "system/SystemHelpers.h"

namespace {

struct SizeCase {
  int64_t bytes;
  const char* text;
};

TEST(SizeToText, UnitsAndRoundingAtTheBoundaries) {
  const SizeCase cases[] = {
      {0, "0"},
      {-1, "-1"},
      {-5000, "-5000"},
      {1023, "1023"},
      {1024, "1024"},
      {1025, "1.00KB"},
      {1536, "1.50KB"},
      {1048575, "1024.00KB"},
      {1048576, "1024.00KB"},
      {1048577, "1.00MB"},
      {1073741824, "1024.00MB"},
      {1073741825, "1.00GB"},
      {5LL * 1024 * 1024 * 1024 * 1024, "5120.00GB"},
      {1059, "1.03KB"},     // 1.0341796875
      {1029, "1.00KB"},     // 1.0048828125
      {1034, "1.01KB"},     // 1.009765625
      {1152, "1.13KB"},     // 1.125 exactly: the two-decimal pattern rounds the half up
      {1054864, "1.01MB"},  // 1.0059967041015625
  };
  for (const SizeCase& c : cases) EXPECT_EQ(sys::SizeToText(c.bytes), c.text) << c.bytes;
}

TEST(VersionNumber, ReadsVersionTextsAsNumbers) {
  EXPECT_DOUBLE_EQ(sys::VersionNumber("6.1"), 6.1);
  EXPECT_DOUBLE_EQ(sys::VersionNumber("6.0"), 6.0);
  EXPECT_DOUBLE_EQ(sys::VersionNumber("5.1"), 5.1);
  EXPECT_DOUBLE_EQ(sys::VersionNumber("10.0"), 10.0);
  EXPECT_DOUBLE_EQ(sys::VersionNumber("2"), 2.0);
  EXPECT_DOUBLE_EQ(sys::VersionNumber(""), 0.0);
  EXPECT_DOUBLE_EQ(sys::VersionNumber("6.1.7601"), 0.0);
  EXPECT_DOUBLE_EQ(sys::VersionNumber("x"), 0.0);
}

}  // namespace
