#pragma once

#include <compare>
#include <cstdint>
#include <optional>

namespace ombrel {

// A calendar date and time of day, broken into fields.
struct CivilTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// A point in time as whole seconds since 1899-12-30 00:00:00, the zero of the
// classic "days as a double" date value. Log timestamps carry whole seconds, so
// integer seconds hold every value the program meets, exactly.
struct DateTime {
  int64_t seconds = 0;

  static constexpr int64_t kSecondsPerDay = 86400;

  // Fails for impossible dates (Feb 30, month 13) and out-of-range times.
  static std::optional<DateTime> FromCivil(const CivilTime& t);
  CivilTime ToCivil() const;

  // The day-count double: days since 1899-12-30, time of day as the fraction.
  double Days() const { return static_cast<double>(seconds) / kSecondsPerDay; }
  // Rounds to the nearest whole second.
  static DateTime FromDays(double days);

  friend auto operator<=>(DateTime, DateTime) = default;
};

// Whole seconds from `from` to `to` (negative when `to` is earlier).
inline int64_t SecondsBetween(DateTime from, DateTime to) {
  return to.seconds - from.seconds;
}

// Whole seconds from `from` to `to`, at least 1: the stored duration of a fight or a row.
inline int64_t DurationSeconds(DateTime from, DateTime to) {
  const int64_t d = SecondsBetween(from, to);
  return d < 1 ? 1 : d;
}

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

}  // namespace ombrel
