#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ombrel {

// The cut-outs of the classification rules, in 1-based character positions:
// the text from position `a` through `b`, stopping at the line's end. An end
// just before the start gives an empty text; an end further back means the
// line does not have the layout the rule expects, and gives nothing.
std::optional<std::string_view> CutText(std::string_view line, int64_t a, int64_t b);

// Removes blanks (only blanks) at both ends.
std::string_view TrimBlanks(std::string_view text);

// Reads a damage amount: optional blanks, an optional sign, digits, optional
// blanks, within the 32-bit signed range. Nothing for anything else.
std::optional<int32_t> ReadAmount(std::string_view text);

// True for "you" in any mix of upper and lower case.
bool IsYou(std::string_view text);

}  // namespace ombrel
