#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace ombrel {

// Letters of Windows-1252 without their case: each capital becomes its small
// letter (A-Z, À-Þ but ×, Š Œ Ž Ÿ); every other byte stays.
struct CaseFold {
  std::array<unsigned char, 256> small{};  // a byte's small letter, or the byte
  std::array<unsigned char, 256> other{};  // a byte's other case, or the byte
};
const CaseFold& Cp1252CaseFold();

std::string FoldCase(std::string_view text);

// Position of the first place at or after `from` where `text`, folded, holds
// `folded_needle` (already folded); std::string_view::npos when none. Tests
// 16 places at once, as FindText does, with both cases of its two probe bytes.
size_t FindFolded(std::string_view text, std::string_view folded_needle, size_t from = 0);

}  // namespace ombrel
