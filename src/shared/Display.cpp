#include "shared/Display.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "shared/TrimBlanks.h"

namespace ombrel::display {
namespace {

// `value` in at least `width` characters, zeros after a minus sign in front
// (as printf's "%0*lld" writes it, without its cost).
void AppendPadded(std::string& out, int64_t value, int width) {
  char digits[24];
  const auto magnitude =
      value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  const auto count = static_cast<int>(end - digits);
  if (value < 0) out.push_back('-');
  const int zeros = width - count - (value < 0 ? 1 : 0);
  if (zeros > 0) out.append(static_cast<size_t>(zeros), '0');
  out.append(digits, static_cast<size_t>(count));
}

// Inserts "," every three digits from the right of a digit string.
std::string GroupDigits(std::string_view digits) {
  std::string out;
  out.reserve(digits.size() + digits.size() / 3);
  const size_t lead = digits.size() % 3;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && i >= lead && (i - lead) % 3 == 0) out.push_back(',');
    out.push_back(digits[i]);
  }
  return out;
}

// A value rounded to two decimals: integer digits (no leading zeros, empty for
// zero), two fraction digits and the sign of a non-zero result.
struct Rounded2 {
  bool negative = false;
  std::string integer;
  char fraction[2] = {'0', '0'};
};

Rounded2 RoundTwoDecimals(double value) {
  Rounded2 r;
  if (!std::isfinite(value) || value == 0.0) return r;
  // 15 significant digits first, as the double's decimal value is read.
  // "d.dddddddddddddde+XX", as printf's "%.14e" writes it.
  char buf[40];
  *std::to_chars(buf, buf + sizeof buf - 1, std::fabs(value), std::chars_format::scientific, 14)
       .ptr = '\0';
  std::string digits;
  digits.push_back(buf[0]);
  digits.append(buf + 2, 14);
  const int exponent = std::atoi(buf + 17);
  // digits d0 d1 ... d14 mean d0.d1d2... x 10^exponent. Keep those down to 1e-2.
  const int keep = exponent + 3;  // count of digits at or above the 1e-2 place
  std::string kept;               // digits from the leading one to the 1e-2 place
  if (keep <= 0) {
    // Below 0.005 after rounding? Only when keep == 0 can the first digit round up.
    if (keep == 0 && digits[0] >= '5')
      kept = "1";
    else
      kept = "0";
    // 'kept' now holds the value in hundredths.
  } else {
    if (keep >= static_cast<int>(digits.size())) {
      kept = digits + std::string(static_cast<size_t>(keep) - digits.size(), '0');
    } else {
      kept = digits.substr(0, static_cast<size_t>(keep));
      if (digits[static_cast<size_t>(keep)] >= '5') {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0 && kept[static_cast<size_t>(i)] == '9') kept[static_cast<size_t>(i--)] = '0';
        if (i < 0)
          kept = std::string(1, '1').append(kept);
        else
          ++kept[static_cast<size_t>(i)];
      }
    }
  }
  // 'kept' is the value in hundredths, as a digit string.
  if (kept.size() < 3) kept = std::string(3 - kept.size(), '0').append(kept);
  r.fraction[0] = kept[kept.size() - 2];
  r.fraction[1] = kept[kept.size() - 1];
  std::string integer = kept.substr(0, kept.size() - 2);
  size_t first = integer.find_first_not_of('0');
  r.integer = first == std::string::npos ? std::string() : integer.substr(first);
  const bool is_zero = r.integer.empty() && r.fraction[0] == '0' && r.fraction[1] == '0';
  r.negative = value < 0 && !is_zero;
  return r;
}

}  // namespace

std::string DateTimeText(DateTime t) {
  const CivilTime c = t.ToCivil();
  std::string out;
  out.reserve(19);
  AppendPadded(out, c.month, 2);
  out.push_back('/');
  AppendPadded(out, c.day, 2);
  out.push_back('/');
  AppendPadded(out, c.year, 4);
  out.push_back(' ');
  AppendPadded(out, c.hour, 2);
  out.push_back(':');
  AppendPadded(out, c.minute, 2);
  out.push_back(':');
  AppendPadded(out, c.second, 2);
  return out;
}

std::string TimeText(DateTime t) {
  return DateTimeText(t).substr(11);
}

std::string DateText(DateTime t) {
  return DateTimeText(t).substr(0, 10);
}

std::optional<DateTime> ReadDateTime(std::string_view text) {
  text = TrimBlanks(text);
  int fields[6] = {};
  const char separators[6] = {'/', '/', ' ', ':', ':', '\0'};
  size_t pos = 0;
  for (int f = 0; f < 6; ++f) {
    const size_t start = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 4) {
      fields[f] = fields[f] * 10 + (text[pos] - '0');
      ++pos;
    }
    if (pos == start) return std::nullopt;
    if (f < 5) {
      if (pos >= text.size() || text[pos] != separators[f]) return std::nullopt;
      ++pos;
    }
  }
  if (pos != text.size()) return std::nullopt;
  return DateTime::FromCivil({fields[2], fields[0], fields[1], fields[3], fields[4], fields[5]});
}

std::string Plain(int64_t value) {
  return std::to_string(value);
}

std::string Grouped(int64_t value) {
  if (value == 0) return {};
  const std::string digits = std::to_string(value);
  if (value < 0) return std::string(1, '-').append(GroupDigits(std::string_view(digits).substr(1)));
  return GroupDigits(digits);
}

std::string Fixed2(double value) {
  const Rounded2 r = RoundTwoDecimals(value);
  std::string out = r.negative ? "-" : "";
  out += r.integer.empty() ? std::string("0") : GroupDigits(r.integer);
  out.push_back('.');
  out.append(r.fraction, 2);
  return out;
}

std::string Fixed2NoLeadingZero(double value) {
  const Rounded2 r = RoundTwoDecimals(value);
  std::string out = r.negative ? "-" : "";
  out += GroupDigits(r.integer);
  out.push_back('.');
  out.append(r.fraction, 2);
  return out;
}

std::string Percent(double fraction) {
  const Rounded2 r = RoundTwoDecimals(fraction * 100.0);
  std::string out = r.negative ? "-" : "";
  out += r.integer.empty() ? std::string("0") : r.integer;
  out.push_back('.');
  out.append(r.fraction, 2);
  out.push_back('%');
  return out;
}

std::string PlainDecimal(double value) {
  if (value == 0.0 || !std::isfinite(value)) return "0";
  char buf[400];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  return std::string(buf, res.ptr);
}

std::optional<int64_t> ReadWholeNumber(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  bool any_digit = false;
  for (char ch : text) {
    if (ch == ',') continue;
    if (ch < '0' || ch > '9') return std::nullopt;
    if (value > (INT64_MAX - (ch - '0')) / 10) return std::nullopt;
    value = value * 10 + (ch - '0');
    any_digit = true;
  }
  if (!any_digit) return std::nullopt;
  return negative ? -value : value;
}

std::optional<double> ReadDecimal(std::string_view text) {
  text = TrimBlanks(text);
  std::string cleaned;
  cleaned.reserve(text.size() + 1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  bool any_digit = false;
  bool seen_point = false;
  for (char ch : text) {
    if (ch == ',' && !seen_point) continue;
    if (ch == '.' && !seen_point) {
      seen_point = true;
      cleaned.push_back(ch);
      continue;
    }
    if (ch < '0' || ch > '9') return std::nullopt;
    any_digit = true;
    cleaned.push_back(ch);
  }
  if (!any_digit) return std::nullopt;
  if (cleaned.front() == '.') cleaned = std::string(1, '0').append(cleaned);
  double value = 0;
  const auto res = std::from_chars(cleaned.data(), cleaned.data() + cleaned.size(), value);
  if (res.ec != std::errc() || res.ptr != cleaned.data() + cleaned.size()) return std::nullopt;
  return negative ? -value : value;
}

}  // namespace ombrel::display
