// The date-time values the package stores (FileTime): days since 1899-12-30 as a double, the
// time of day as the fraction, local time. The calendar arithmetic is the proleptic Gregorian
// one (H. Hinnant's days-from-civil algorithms), exact for every year the values can hold.
#pragma once

#include <cstdint>

namespace package {

inline constexpr int64_t kMsPerDay = 86400000;

struct CivilDate {
  int64_t year;
  unsigned month;
  unsigned day;
};

// Days since 1970-01-01 of a date, and back.
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day);
CivilDate CivilFromDays(int64_t daysSince1970);

// The 1970-based day number of the stored date-time's day zero, 1899-12-30.
int64_t DateTimeEpochDay();

// A finite, non-negative stored value as whole days since 1899-12-30 and milliseconds of that
// day, rounded to the millisecond (a value that rounds to 24:00 is 0:00 of the next day).
struct DayAndMs {
  int64_t day;
  int64_t ms;
};
DayAndMs SplitDateTime(double value);

}  // namespace package
