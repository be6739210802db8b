#include "tools/project/HostFileTime.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "tools/host/HostSystem.h"
#include "tools/host/ToolText.h"
#include "tools/project/FileTimeText.h"

namespace tool {
namespace {

constexpr long long kChinaStandardTimeOffset = 8 * 3600;

}  // namespace

std::optional<long long> SourceDateEpoch() {
  const char* text = std::getenv("SOURCE_DATE_EPOCH");
  if (!text || !*text) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  long long seconds = std::strtoll(text, &end, 10);
  if (*end != '\0' || errno != 0 || seconds < 0) {
    throw Failure(std::string("SOURCE_DATE_EPOCH must be a whole number of seconds since 1970, not '") +
                  text + "'");
  }
  return seconds;
}

double PackagedFileTime(const std::filesystem::path& file) {
  const std::optional<long long> written = host::LastWriteSeconds(file);
  if (!written) return 0.0;
  long long seconds = *written;
  if (auto epoch = SourceDateEpoch(); epoch && seconds > *epoch) seconds = *epoch;
  const std::tm parts = host::UtcCalendar(seconds + kChinaStandardTimeOffset);
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", parts.tm_year + 1900,
                parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min,
                parts.tm_sec > 59 ? 59 : parts.tm_sec);
  return FileTimeFromText(text).value_or(0.0);
}

}  // namespace tool
