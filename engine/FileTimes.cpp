#include "engine/FileTimes.h"

#include <cmath>
#include <cstdint>

#include "package/DateTime.h"

namespace engine {

namespace {

constexpr int64_t kTicksPerSecond = 10000000;

}  // namespace

std::optional<sys::FileTime> DosLocalFileTime(double dateTime) {
  // Far outside 1980..2107 either way; keeps the integer conversions below defined.
  if (!std::isfinite(dateTime) || dateTime < 0 || dateTime > 100000) return std::nullopt;
  const package::DayAndMs split = package::SplitDateTime(dateTime);
  const int64_t ms = split.ms;
  const int64_t unixDay = split.day + package::DateTimeEpochDay();
  const package::CivilDate date = package::CivilFromDays(unixDay);
  if (date.year < 1980 || date.year > 2107) return std::nullopt;
  int64_t seconds = ms / 1000;
  seconds -= seconds % 2;  // a DOS time counts seconds in twos
  const int64_t since1601 = unixDay - package::DaysFromCivil(1601, 1, 1);
  return static_cast<sys::FileTime>((since1601 * 86400 + seconds) * kTicksPerSecond);
}

}  // namespace engine
