#include "parse/LogLineTime.h"

#include <array>

#include "parse/StampLayout.h"

namespace ombrel {
namespace {

constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool IsDigit(char ch) {
  return ch >= '0' && ch <= '9';
}

// Two characters: two digits, or a blank and a digit. -1 otherwise.
int ReadTwo(std::string_view line, size_t at) {
  const char a = line[at];
  const char b = line[at + 1];
  if (!IsDigit(b)) return -1;
  if (a == ' ') return b - '0';
  if (!IsDigit(a)) return -1;
  return (a - '0') * 10 + (b - '0');
}

// Where each field stands, as the stamp's layout places it.
constexpr size_t kMonthAt = kStampLayout.find(" Aaa ") + 1;
constexpr size_t kDayAt = kStampLayout.find(" #9 ") + 1;
constexpr size_t kHourAt = kStampLayout.find("#9:");
constexpr size_t kMinuteAt = kStampLayout.find(":#9:") + 1;
constexpr size_t kSecondAt = kStampLayout.find(":#9 ") + 1;
constexpr size_t kYearAt = kStampLayout.find("9999");

}  // namespace

std::optional<DateTime> LogLineTime(std::string_view line) {
  if (line.size() < kStampTimeLength) return std::nullopt;
  const std::string_view month_text = line.substr(kMonthAt, 3);
  int month = 0;
  for (size_t k = 0; k < kMonths.size(); ++k) {
    if (kMonths[k] == month_text) {
      month = static_cast<int>(k) + 1;
      break;
    }
  }
  if (month == 0) return std::nullopt;
  int year = 0;
  for (size_t k = kYearAt; k < kStampTimeLength; ++k) {
    if (!IsDigit(line[k])) return std::nullopt;
    year = year * 10 + (line[k] - '0');
  }
  CivilTime t;
  t.year = year;
  t.month = month;
  t.day = ReadTwo(line, kDayAt);
  t.hour = ReadTwo(line, kHourAt);
  t.minute = ReadTwo(line, kMinuteAt);
  t.second = ReadTwo(line, kSecondAt);
  if (t.day < 0 || t.hour < 0 || t.minute < 0 || t.second < 0) return std::nullopt;
  return DateTime::FromCivil(t);
}

}  // namespace ombrel
