#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace ombrel {

// Windows-1252, the encoding of game logs. Bytes below 0x80 and from 0xA0 up
// are the character of the same number; bytes 0x80 to 0x9F are these. The
// five bytes the code page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// stand for the control character of the same number, as Windows converts
// them, so that every byte has a character and back.
inline constexpr std::array<char16_t, 32> kCp1252From0x80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The character of a byte.
inline char16_t Cp1252ToUnicode(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kCp1252From0x80[byte - 0x80] : static_cast<char16_t>(byte);
}

// The byte of a character; nothing for a character the code page cannot hold,
// which each caller handles its own way.
std::optional<char> UnicodeToCp1252(char32_t character);

// UTF-8 text as Windows-1252 bytes. Nothing for malformed UTF-8 or for a
// character the code page cannot hold.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);

}  // namespace ombrel
