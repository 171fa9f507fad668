#include "shared/DateTime.h"

#include <cmath>

namespace ombrel {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
constexpr int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

constexpr int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

}  // namespace

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<DateTime> DateTime::FromCivil(const CivilTime& t) {
  if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12) return std::nullopt;
  if (t.day < 1 || t.day > DaysInMonth(t.year, t.month)) return std::nullopt;
  if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59)
    return std::nullopt;
  const int64_t days = DaysFromCivil(t.year, t.month, t.day) - kEpochDays;
  return DateTime{days * kSecondsPerDay + t.hour * 3600 + t.minute * 60 + t.second};
}

CivilTime DateTime::ToCivil() const {
  const int64_t day_index = FloorDiv(seconds, kSecondsPerDay);
  const int64_t sod = seconds - day_index * kSecondsPerDay;
  // Civil from days since 1970-01-01.
  int64_t z = day_index + kEpochDays + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp + (mp < 10 ? 3 : -9);
  const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  CivilTime t;
  t.year = static_cast<int>(y);
  t.month = static_cast<int>(m);
  t.day = static_cast<int>(d);
  t.hour = static_cast<int>(sod / 3600);
  t.minute = static_cast<int>(sod / 60 % 60);
  t.second = static_cast<int>(sod % 60);
  return t;
}

DateTime DateTime::FromDays(double days) {
  return DateTime{static_cast<int64_t>(std::llround(days * kSecondsPerDay))};
}

}  // namespace ombrel
