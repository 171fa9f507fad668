// The log's clock and the stamp that opens every line ("[Sat Dec 31 22:30:00 2005] ").
#pragma once

#include <cstdint>

#include "loggen/LogGen.h"

namespace ombrel::loggen {

// Log clock with a cached stamp: the stamp text is rebuilt only when the
// second changes, and the calendar only when the day changes.
class Clock {
 public:
  explicit Clock(const StartTime& s);
  int64_t Now() const { return now_; }
  void Advance(int64_t seconds) { now_ += seconds; }
  const char* Stamp() {
    if (now_ != stamp_time_) Rebuild();
    return stamp_;
  }

 private:
  void Rebuild();

  int64_t now_ = 0;
  int64_t stamp_time_ = INT64_MIN;
  int64_t stamp_day_ = INT64_MIN;
  char stamp_[27] = {};
};

}  // namespace ombrel::loggen
