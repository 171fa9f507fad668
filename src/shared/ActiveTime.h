#pragma once

#include <cstdint>
#include <vector>

#include "shared/DateTime.h"

namespace ombrel {

// A stretch of time something was active: its first and its last record.
// A stretch whose last record is dated before its first (the clock stepped
// back) covers no more than its first moment.
struct ActiveSpan {
  DateTime first;
  DateTime last;
};

// The seconds a set of stretches covers, for durations and rates over several
// fights at once. Stretches that overlap or touch are merged first, so time in
// two fights at once counts once, and the idle time between fights counts not
// at all; each merged stretch counts at least 1 second, as a fight of one
// record does. For one stretch this is DurationSeconds(first, last).
int64_t ActiveSeconds(std::vector<ActiveSpan> spans);

}  // namespace ombrel
