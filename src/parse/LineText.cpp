#include "parse/LineText.h"

#include "shared/TrimBlanks.h"

namespace ombrel {

std::optional<int32_t> ReadAmount(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  for (const char ch : text) {
    if (ch < '0' || ch > '9') return std::nullopt;
    value = value * 10 + (ch - '0');
    // Past the range already: stop before the sum can overflow.
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

bool IsYou(std::string_view text) {
  if (text.size() != 3) return false;
  auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 32) : ch; };
  return lower(text[0]) == 'y' && lower(text[1]) == 'o' && lower(text[2]) == 'u';
}

std::string_view WithoutTrailingTags(std::string_view line) {
  // Every tag of the row at the line's end goes; they must follow the final
  // full stop or exclamation mark, or the line stays as it is.
  std::string_view rest = line;
  while (rest.ends_with(')')) {
    const size_t open = rest.rfind(" (");
    if (open == std::string_view::npos || open == 0) break;
    const std::string_view inside = rest.substr(open + 2, rest.size() - open - 3);
    if (inside.find_first_of("()") != std::string_view::npos) break;
    rest = rest.substr(0, open);
  }
  return rest.ends_with('.') || rest.ends_with('!') ? rest : line;
}

}  // namespace ombrel
