#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "parse/ParseLog.h"
#include "shared/DateTime.h"

namespace ombrel::testing {

inline constexpr std::string_view kName = "Tarlen";
// The time stamp most test lines carry: 2 January 2006, 15:04:05.
inline constexpr std::string_view kStamp = "[Mon Jan 02 15:04:05 2006] ";

// A log line: the time stamp, then the message.
inline std::string At(std::string_view stamp, std::string_view message) {
  return std::string(stamp) + std::string(message);
}
inline std::string Line(std::string_view message) {
  return At(kStamp, message);
}

// Lines joined by CR LF, without a final line end.
inline std::string Log(std::initializer_list<std::string> lines) {
  std::string out;
  for (const std::string& line : lines) {
    if (!out.empty() || &line != lines.begin()) out += "\r\n";
    out += line;
  }
  return out;
}

inline ParseResult Parse(std::string_view log) {
  return ParseLogText(log, kName);
}

inline DateTime Civil(int year, int month, int day, int hour, int minute, int second) {
  return *DateTime::FromCivil({year, month, day, hour, minute, second});
}

}  // namespace ombrel::testing
