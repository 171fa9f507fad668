#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "parse/TextSearch.h"

namespace ombrel {

// The cut-outs of the classification rules. Positions are 0-based character
// indexes into the line. A literal the line does not hold counts as standing
// just before the line (at -1): a cut-out that ends before it gives nothing,
// and one that starts after it starts at the literal's length less one.

// Where the first occurrence of a literal stands: its first character, and
// just past its last.
struct LiteralPlace {
  int64_t begin = -1;
  int64_t end = -1;
};

// `from`: where the search begins, when no occurrence can start before it.
inline LiteralPlace Locate(std::string_view line, std::string_view literal, size_t from = 0) {
  const size_t at = FindText(line, literal, from);
  const int64_t begin = at == std::string_view::npos ? -1 : static_cast<int64_t>(at);
  return {begin, begin + static_cast<int64_t>(literal.size())};
}

// The one character, a blank in a well-formed line, that some rules skip
// unread after a literal ("casting", "has taken").
inline constexpr int64_t kBlank = 1;

// The text from `begin` up to, not including, `end`, clipped to the line
// (empty when none of it lies inside). An end before the begin means the line
// does not have the layout the rule expects, and gives nothing.
inline std::optional<std::string_view> Cut(std::string_view line, int64_t begin, int64_t end) {
  if (end < begin) return std::nullopt;
  const int64_t length = static_cast<int64_t>(line.size());
  if (begin < 0) begin = 0;
  if (end > length) end = length;
  if (begin >= end) return std::string_view{};
  return line.substr(static_cast<size_t>(begin), static_cast<size_t>(end - begin));
}

// Reads a damage amount: optional blanks, an optional sign, digits, optional
// blanks, within the 32-bit signed range. Nothing for anything else.
std::optional<int32_t> ReadAmount(std::string_view text);

// True for "you" in any mix of upper and lower case.
bool IsYou(std::string_view text);

// The line without the tags that newer logs put after the final full stop or
// exclamation mark, such as " (Critical)" in "... damage. (Critical)" or the two
// of "... damage. (Critical) (Twincast)": each tag is a blank, "(", text
// without parentheses, and ")", and the last one ends the line.
std::string_view WithoutTrailingTags(std::string_view line);

}  // namespace ombrel
