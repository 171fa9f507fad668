#include "loggen/Clock.h"

#include <array>
#include <cstring>

namespace ombrel::loggen {
namespace {

// Calendar (proleptic Gregorian, days counted from 1970-01-01).

int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = yoe + era * 400 + (m <= 2);
}

constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void Two(char* p, int v) {
  p[0] = static_cast<char>('0' + v / 10);
  p[1] = static_cast<char>('0' + v % 10);
}

}  // namespace

Clock::Clock(const StartTime& s) {
  const int64_t days = DaysFromCivil(s.year, s.month, s.day);
  now_ = days * 86400 + s.hour * 3600 + s.minute * 60 + s.second;
}

void Clock::Rebuild() {
  const int64_t days = (now_ >= 0 ? now_ : now_ - 86399) / 86400;
  const int sod = static_cast<int>(now_ - days * 86400);
  if (days != stamp_day_) {
    int64_t y;
    int m, d;
    CivilFromDays(days, y, m, d);
    const int wd = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    stamp_[0] = '[';
    std::memcpy(stamp_ + 1, kWeekdays[wd], 3);
    stamp_[4] = ' ';
    std::memcpy(stamp_ + 5, kMonths[m - 1], 3);
    stamp_[8] = ' ';
    Two(stamp_ + 9, d);
    stamp_[11] = ' ';
    stamp_[14] = ':';
    stamp_[17] = ':';
    stamp_[20] = ' ';
    const int yy = static_cast<int>(y % 10000);
    Two(stamp_ + 21, yy / 100);
    Two(stamp_ + 23, yy % 100);
    stamp_[25] = ']';
    stamp_[26] = ' ';
    stamp_day_ = days;
  }
  Two(stamp_ + 12, sod / 3600);
  Two(stamp_ + 15, sod / 60 % 60);
  Two(stamp_ + 18, sod % 60);
  stamp_time_ = now_;
}

}  // namespace ombrel::loggen
