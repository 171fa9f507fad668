#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "shared/Sse2.h"

namespace ombrel {

// The time stamp a well-formed line opens with, "[Mon Jan 02 15:04:05 2006] ",
// as a layout: 'A' an upper-case letter, 'a' a lower-case one, '9' a digit,
// '#' a blank, a digit or a byte between them; every other byte stands for
// itself. A search for a literal that cannot start inside such a stamp may
// begin past it.
inline constexpr std::string_view kStampLayout = "[Aaa Aaa #9 #9:#9:#9 9999] ";

// The part of the stamp its time is read from: through the year, before "]".
inline constexpr size_t kStampTimeLength = kStampLayout.find(']');

// The bytes each place of the layout takes, as a range.
struct ByteRange {
  char low;
  char high;
};

constexpr ByteRange StampLayoutRange(char layout) {
  switch (layout) {
    case 'A':
      return {'A', 'Z'};
    case 'a':
      return {'a', 'z'};
    case '9':
      return {'0', '9'};
    case '#':
      return {' ', '9'};
    default:
      return {layout, layout};
  }
}

constexpr bool FitsStampLayout(char layout, char c) {
  const ByteRange range = StampLayoutRange(layout);
  return c >= range.low && c <= range.high;
}

// The first position at which `literal` could start in a line that opens
// with a stamp of that layout, whatever follows the stamp.
constexpr size_t EarliestStartAfterStamp(std::string_view literal) {
  for (size_t at = 0; at < kStampLayout.size(); ++at) {
    bool fits = true;
    for (size_t k = 0; k < literal.size() && at + k < kStampLayout.size() && fits; ++k)
      fits = FitsStampLayout(kStampLayout[at + k], literal[k]);
    if (fits) return at;
  }
  return kStampLayout.size();
}

// True when `line` opens with a stamp of that layout.
inline bool OpensWithStamp(std::string_view line) {
  constexpr size_t n = kStampLayout.size();
  if (line.size() < n) return false;
#if OMBREL_SSE2
  static_assert(n > 16 && n <= 32);
  // Two blocks of 16 bytes, from the start and ending at the stamp's end.
  constexpr auto bounds = [](size_t from, bool high) {
    std::array<char, 16> bytes{};
    for (size_t k = 0; k < 16; ++k) {
      const ByteRange range = StampLayoutRange(kStampLayout[from + k]);
      // The compares are strict: one below the lowest, one above the highest.
      bytes[k] = static_cast<char>(high ? range.high + 1 : range.low - 1);
    }
    return bytes;
  };
  static constexpr std::array<char, 16> kLow[2] = {bounds(0, false), bounds(n - 16, false)};
  static constexpr std::array<char, 16> kHigh[2] = {bounds(0, true), bounds(n - 16, true)};
  const size_t from[2] = {0, n - 16};
  for (int k = 0; k < 2; ++k) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + from[k]));
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kLow[k].data()));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kHigh[k].data()));
    // Bytes from 0x80 compare as negative and fit no range.
    const __m128i fits = _mm_and_si128(_mm_cmpgt_epi8(bytes, low), _mm_cmplt_epi8(bytes, high));
    if (_mm_movemask_epi8(fits) != 0xFFFF) return false;
  }
  return true;
#else
  for (size_t k = 0; k < n; ++k)
    if (!FitsStampLayout(kStampLayout[k], line[k])) return false;
  return true;
#endif
}

}  // namespace ombrel
