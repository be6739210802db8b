#include "tools/project/FileTimeText.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "package/DateTime.h"

namespace tool {
namespace {

const int64_t kEpoch = package::DateTimeEpochDay();
const int64_t kEnd = package::DaysFromCivil(10000, 1, 1) - kEpoch;

unsigned DaysInMonth(int year, unsigned month) {
  static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[month - 1];
}

// Reads exactly count digits at text[pos].
bool Digits(const std::string& text, size_t pos, size_t count, int& value) {
  if (pos + count > text.size()) return false;
  value = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

double Compose(int64_t days, int64_t msOfDay) {
  return static_cast<double>(days) + static_cast<double>(msOfDay) / package::kMsPerDay;
}

}  // namespace

std::optional<double> FileTimeFromText(const std::string& text) {
  int year, month, day, hour, minute, second, ms = 0;
  if (text.size() != 19 && text.size() != 23) return std::nullopt;
  if (!Digits(text, 0, 4, year) || text[4] != '-' || !Digits(text, 5, 2, month) ||
      text[7] != '-' || !Digits(text, 8, 2, day) || text[10] != 'T' ||
      !Digits(text, 11, 2, hour) || text[13] != ':' || !Digits(text, 14, 2, minute) ||
      text[16] != ':' || !Digits(text, 17, 2, second)) {
    return std::nullopt;
  }
  if (text.size() == 23 && (text[19] != '.' || !Digits(text, 20, 3, ms))) return std::nullopt;
  if (month < 1 || month > 12 || day < 1 ||
      day > static_cast<int>(DaysInMonth(year, static_cast<unsigned>(month))) || hour > 23 ||
      minute > 59 || second > 59) {
    return std::nullopt;
  }
  int64_t days =
      package::DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
      kEpoch;
  if (days < 0 || days >= kEnd) return std::nullopt;
  return Compose(days, ((hour * 60 + minute) * 60 + second) * 1000LL + ms);
}

std::optional<std::string> FileTimeToText(double value) {
  if (!std::isfinite(value) || value < 0 || value >= static_cast<double>(kEnd)) {
    return std::nullopt;
  }
  const auto [days, ms] = package::SplitDateTime(value);
  if (Compose(days, ms) != value) return std::nullopt;
  const package::CivilDate date = package::CivilFromDays(days + kEpoch);
  if (date.year > 9999) return std::nullopt;
  const int year = static_cast<int>(date.year);
  const unsigned month = date.month, day = date.day;
  char text[96];
  int h = static_cast<int>(ms / 3600000), m = static_cast<int>(ms / 60000 % 60),
      s = static_cast<int>(ms / 1000 % 60), frac = static_cast<int>(ms % 1000);
  if (frac == 0) {
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d", year, month, day, h, m, s);
  } else {
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03d", year, month, day, h, m,
                  s, frac);
  }
  return std::string(text);
}

}  // namespace tool
