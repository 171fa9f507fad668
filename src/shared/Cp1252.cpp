#include "shared/Cp1252.h"

#include <cstdint>

namespace ombrel {
namespace {

// Decodes one UTF-8 character at `pos`, advancing it; rejects overlong forms,
// surrogates and values past U+10FFFF.
std::optional<char32_t> NextCharacter(std::string_view text, size_t& pos) {
  const auto lead = static_cast<uint8_t>(text[pos++]);
  if (lead < 0x80) return lead;
  int extra;
  char32_t c;
  char32_t least;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, c = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, c = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, c = lead & 0x07, least = 0x10000;
  } else {
    return std::nullopt;
  }
  for (int k = 0; k < extra; ++k) {
    if (pos >= text.size()) return std::nullopt;
    const auto next = static_cast<uint8_t>(text[pos++]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    c = c << 6 | (next & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  return c;
}

}  // namespace

std::optional<char> UnicodeToCp1252(char32_t character) {
  if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
    return static_cast<char>(character);
  for (size_t k = 0; k < kCp1252From0x80.size(); ++k) {
    if (kCp1252From0x80[k] == character) return static_cast<char>(0x80 + k);
  }
  return std::nullopt;
}

std::optional<std::string> Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    const auto c = NextCharacter(utf8, pos);
    if (!c) return std::nullopt;
    const auto byte = UnicodeToCp1252(*c);
    if (!byte) return std::nullopt;
    out.push_back(*byte);
  }
  return out;
}

}  // namespace ombrel
