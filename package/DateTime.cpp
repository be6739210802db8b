#include "package/DateTime.h"

#include <cmath>

namespace package {

int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yoe = static_cast<unsigned>(year - era * 400);
  const unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

CivilDate CivilFromDays(int64_t daysSince1970) {
  const int64_t z = daysSince1970 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

int64_t DateTimeEpochDay() { return DaysFromCivil(1899, 12, 30); }

DayAndMs SplitDateTime(double value) {
  DayAndMs split{static_cast<int64_t>(std::floor(value)), 0};
  split.ms = std::llround((value - static_cast<double>(split.day)) * kMsPerDay);
  if (split.ms >= kMsPerDay) {
    ++split.day;
    split.ms -= kMsPerDay;
  }
  return split;
}

}  // namespace package
