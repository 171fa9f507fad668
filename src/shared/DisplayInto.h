#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "shared/DateTime.h"

// Display.h's texts written into a caller's buffer, for the many rows of a long
// log's lists and files: the same bytes, no text allocated (but for values
// far outside what a log holds, which take Display.h's way).
namespace ombrel::display {

// Room that a text below may take.
inline constexpr size_t kTextIntoRoom = 64;

// Plain(value) at `out`; returns its end.
char* PlainInto(char* out, int64_t value);
// Fixed2(value) at `out`, for a value below 1e40 in magnitude (as the ratio of
// two 64-bit numbers is); returns its end.
char* Fixed2Into(char* out, double value);

// DateTimeText of many times in a row: the calendar part is worked out once
// per day, the time of day written from its digits.
class DateTexts {
 public:
  // DateTimeText(t) at `out` (kTextIntoRoom bytes); returns its end.
  char* Into(char* out, DateTime t);
  // DateTimeText(t), valid until the next call.
  std::string_view Text(DateTime t) { return {text_, static_cast<size_t>(Into(text_, t) - text_)}; }

 private:
  int64_t day_ = INT64_MIN;
  bool plain_ = false;  // the day's year has four digits
  char day_text_[11] = {};
  char text_[kTextIntoRoom] = {};
};

}  // namespace ombrel::display
