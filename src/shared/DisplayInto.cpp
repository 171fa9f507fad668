#include "shared/DisplayInto.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "shared/Display.h"

namespace ombrel::display {
namespace {

char* Copy(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

// `value` (not negative) in `width` digits, zeros in front.
void Digits(char* out, int64_t value, int width) {
  for (int k = width - 1; k >= 0; --k) {
    out[k] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

int64_t FloorDays(int64_t seconds) {
  const int64_t q = seconds / DateTime::kSecondsPerDay;
  return seconds % DateTime::kSecondsPerDay < 0 ? q - 1 : q;
}

}  // namespace

char* PlainInto(char* out, int64_t value) {
  return std::to_chars(out, out + 20, value).ptr;
}

char* Fixed2Into(char* out, double value) {
  // Fixed2 rounds the value's 15 significant digits half away from zero. Below
  // 1e11 those digits reach past the hundredths, and they differ from the
  // value by less than 1e-14 of it: unless the value lies that near a half
  // hundredth, it rounds to the same hundredths as its digits, counted here in
  // a double's exact integers. Near one, and for larger or odd values, Fixed2
  // itself decides.
  const double magnitude = std::fabs(value);
  if (!(magnitude < 1e11)) return Copy(out, Fixed2(value));
  const double hundredths = magnitude * 100.0;
  const double whole = std::floor(hundredths);
  const double rest = hundredths - whole;
  if (std::fabs(rest - 0.5) <= 1e-13 * hundredths) return Copy(out, Fixed2(value));
  const auto rounded = static_cast<uint64_t>(whole) + (rest > 0.5 ? 1 : 0);
  if (rounded != 0 && value < 0) *out++ = '-';
  char digits[24];
  const uint64_t integer = rounded / 100;
  char* end = integer == 0 ? digits : std::to_chars(digits, digits + sizeof digits, integer).ptr;
  const auto count = static_cast<size_t>(end - digits);
  if (count == 0) *out++ = '0';
  // "," every three digits from the right.
  for (size_t i = 0; i < count; ++i) {
    if (i != 0 && (count - i) % 3 == 0) *out++ = ',';
    *out++ = digits[i];
  }
  *out++ = '.';
  Digits(out, static_cast<int64_t>(rounded % 100), 2);
  return out + 2;
}

char* DateTexts::Into(char* out, DateTime t) {
  const int64_t day = FloorDays(t.seconds);
  if (day != day_) {
    day_ = day;
    const CivilTime c = t.ToCivil();
    plain_ = c.year >= 0 && c.year <= 9999;
    if (plain_) {
      Digits(day_text_, c.month, 2);
      day_text_[2] = '/';
      Digits(day_text_ + 3, c.day, 2);
      day_text_[5] = '/';
      Digits(day_text_ + 6, c.year, 4);
      day_text_[10] = ' ';
    }
  }
  if (!plain_) return Copy(out, DateTimeText(t));
  const int64_t of_day = t.seconds - day * DateTime::kSecondsPerDay;
  std::memcpy(out, day_text_, sizeof day_text_);
  Digits(out + 11, of_day / 3600, 2);
  out[13] = ':';
  Digits(out + 14, of_day / 60 % 60, 2);
  out[16] = ':';
  Digits(out + 17, of_day % 60, 2);
  return out + 19;
}

}  // namespace ombrel::display
