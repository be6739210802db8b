// FileTime values as local date-time text: exact both ways, or not offered at all.
#include <gtest/gtest.h>

#include "tools/project/FileTimeText.h"

namespace tool {
namespace {

TEST(FileTimeText, ReadsDaysSince18991230WithTheTimeAsFraction) {
  EXPECT_EQ(FileTimeFromText("1899-12-30T00:00:00"), 0.0);
  EXPECT_EQ(FileTimeFromText("1900-01-01T12:00:00"), 2.5);
  EXPECT_EQ(FileTimeFromText("2024-05-01T09:30:00"), 45413.0 + 34200000.0 / 86400000.0);
  EXPECT_EQ(FileTimeFromText("2000-02-29T00:00:00.250"), 36585.0 + 250.0 / 86400000.0);
}

TEST(FileTimeText, RejectsWhatIsNoDate) {
  for (const char* text : {"2023-02-29T00:00:00", "2024-13-01T00:00:00", "2024-05-01 09:30:00",
                           "2024-05-01T24:00:00", "2024-05-01T09:30", "1899-12-29T00:00:00",
                           "2024-05-01T09:30:00.5", "2024-05-01T09:30:00Z", ""}) {
    EXPECT_EQ(FileTimeFromText(text), std::nullopt) << text;
  }
}

TEST(FileTimeText, WritesTextThatReadsBackToTheSameDouble) {
  for (const char* text : {"2024-05-01T09:30:00", "2023-12-31T23:59:59.500", "1970-01-01T00:00:01",
                           "9999-12-31T23:59:59.999"}) {
    auto value = FileTimeFromText(text);
    ASSERT_TRUE(value) << text;
    EXPECT_EQ(FileTimeToText(*value), text);
  }
}

TEST(FileTimeText, OffersNoTextForValuesItCannotReproduce) {
  EXPECT_EQ(FileTimeToText(-1.0), std::nullopt);  // folders
  EXPECT_EQ(FileTimeToText(45000.123456789), std::nullopt);
  EXPECT_EQ(FileTimeToText(1e300), std::nullopt);
}

}  // namespace
}  // namespace tool
