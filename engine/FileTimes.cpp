#include "engine/FileTimes.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr int64_t kMsPerDay = 86400000;
constexpr int64_t kTicksPerSecond = 10000000;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

struct CivilDate {
  int64_t year;
  unsigned month;
  unsigned day;
};

CivilDate CivilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

}  // namespace

std::optional<sys::FileTime> DosLocalFileTime(double dateTime) {
  // Far outside 1980..2107 either way; keeps the integer conversions below defined.
  if (!std::isfinite(dateTime) || dateTime < 0 || dateTime > 100000) return std::nullopt;
  auto day = static_cast<int64_t>(std::floor(dateTime));
  int64_t ms = std::llround((dateTime - static_cast<double>(day)) * kMsPerDay);
  if (ms >= kMsPerDay) {
    ++day;
    ms -= kMsPerDay;
  }
  const int64_t unixDay = day + DaysFromCivil(1899, 12, 30);
  const CivilDate date = CivilFromDays(unixDay);
  if (date.year < 1980 || date.year > 2107) return std::nullopt;
  int64_t seconds = ms / 1000;
  seconds -= seconds % 2;  // a DOS time counts seconds in twos
  const int64_t since1601 = unixDay - DaysFromCivil(1601, 1, 1);
  return static_cast<sys::FileTime>((since1601 * 86400 + seconds) * kTicksPerSecond);
}
