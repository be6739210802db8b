// The time a file entry gets from its content file when the project gives none, the same on
// every packaging machine:
//   the file's modification time (whole seconds), clamped to SOURCE_DATE_EPOCH when that is set
//   (a file changed later than it counts as changed then, so a fresh checkout, whose files are
//   all "new", builds the same bytes), then written as the wall-clock time of China Standard
//   Time (UTC+8, which has no daylight saving), the zone of the machines the setup programs are
//   made for: the runtime gives the stored time to the installed file as local time.
// The packaging machine's own time zone plays no part.
#pragma once

#include <filesystem>
#include <optional>

namespace tool {

// Days since 1899-12-30 with the time of day as the fraction. Throws Failure when
// SOURCE_DATE_EPOCH is set but is not a number of seconds.
double PackagedFileTime(const std::filesystem::path& file);

// The clamp: SOURCE_DATE_EPOCH in seconds since 1970, when set.
std::optional<long long> SourceDateEpoch();

}  // namespace tool
