#include "shared/ActiveTime.h"

#include <algorithm>

namespace ombrel {

int64_t ActiveSeconds(std::vector<ActiveSpan> spans) {
  if (spans.empty()) return 1;
  for (ActiveSpan& s : spans) s.last = std::max(s.first, s.last);
  std::sort(spans.begin(), spans.end(),
            [](const ActiveSpan& a, const ActiveSpan& b) { return a.first < b.first; });
  int64_t seconds = 0;
  DateTime from = spans.front().first;
  DateTime to = spans.front().last;
  for (const ActiveSpan& s : spans) {
    if (s.first > to) {
      seconds += DurationSeconds(from, to);
      from = s.first;
    }
    to = std::max(to, s.last);
  }
  return seconds + DurationSeconds(from, to);
}

}  // namespace ombrel
