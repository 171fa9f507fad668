#pragma once

#include <optional>
#include <string_view>

#include "shared/DateTime.h"

namespace ombrel {

// The time stamp that opens a log line, "[Mon Jan 02 15:04:05 2006] ": month
// from characters 6-8, day 10-11, hours 13-14, minutes 16-17, seconds 19-20,
// year 22-25 (1-based). The weekday and the characters after 25 are not read.
// Day and time fields may carry a leading blank instead of a zero. Nothing for
// a line shorter than 25 characters, an unknown month, a field that is not a
// number or an impossible date or time.
std::optional<DateTime> LogLineTime(std::string_view line);

}  // namespace ombrel
