// The last-write time of an installed file from the date-time stored with its entry (days
// since 1899-12-30, the time of day as the fraction, local time). Files get the time the way
// the packager's DOS-era tools gave it: cut to a DOS date and time, so seconds are even.
#pragma once

#include <optional>

#include "system/Platform.h"

namespace engine {

// The local FILETIME at DOS resolution; nullopt when the value is not a date a DOS date can
// hold (1980 to 2107) or not a number at all, so a stray value never sets a wild time.
std::optional<sys::FileTime> DosLocalFileTime(double dateTime);

}  // namespace engine
