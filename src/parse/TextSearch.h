#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "shared/Sse2.h"

namespace ombrel {

// Position of the first occurrence of `needle` in `text` at or after `from`,
// std::string_view::npos when absent. Lines are short and searched for many
// literals, so blocks of 16 positions are tested at once: a position is a
// candidate when two bytes of the needle are in place, and only candidates
// are compared whole. Never reads outside `text`.
inline size_t FindText(std::string_view text, std::string_view needle, size_t from = 0) {
  const size_t n = text.size();
  const size_t m = needle.size();
  if (from > n || m > n - from) return std::string_view::npos;
  if (m == 0) return from;
  const char* h = text.data();
  const char* w = needle.data();
  size_t i = from;
#if OMBREL_SSE2
  if (n - i >= m + 15) {
    // The needle's first and last bytes are the probes, unless they are
    // blanks (as in " for "), which stand everywhere in a line: then the
    // bytes next to them.
    const size_t a = (w[0] == ' ' && m > 2) ? 1 : 0;
    const size_t b = (m > 2 && w[m - 1] == ' ' && m - 2 > a) ? m - 2 : m - 1;
    const __m128i first = _mm_set1_epi8(w[a]);
    const __m128i last = _mm_set1_epi8(w[b]);
    // Candidates among the 16 start positions from `at`.
    auto candidates = [&](size_t at) {
      const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + at + a));
      const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + at + b));
      return static_cast<unsigned>(
          _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(x, first), _mm_cmpeq_epi8(y, last))));
    };
    auto confirm = [&](size_t at, unsigned mask) {
      for (; mask != 0; mask &= mask - 1) {
        const size_t pos = at + static_cast<size_t>(__builtin_ctz(mask));
        if (std::memcmp(h + pos, w, m) == 0) return pos;
      }
      return std::string_view::npos;
    };
    for (; i + m + 15 <= n; i += 16) {
      const size_t found = confirm(i, candidates(i));
      if (found != std::string_view::npos) return found;
    }
    if (i + m <= n) {
      // The last start positions: one block ending at the text's end, less
      // the positions the loop has already tested.
      const size_t at = n - m - 15;
      return confirm(at, candidates(at) & ~((1u << (i - at)) - 1u));
    }
    return std::string_view::npos;
  }
#endif
  for (; i + m <= n; ++i)
    if (h[i] == w[0] && h[i + m - 1] == w[m - 1] && std::memcmp(h + i, w, m) == 0) return i;
  return std::string_view::npos;
}

inline bool ContainsText(std::string_view text, std::string_view needle) {
  return FindText(text, needle) != std::string_view::npos;
}

// True when `text` holds `piece` ending just before `at`.
inline bool EndsAt(std::string_view text, size_t at, std::string_view piece) {
  return at >= piece.size() && text.substr(at - piece.size(), piece.size()) == piece;
}

// True when `text` holds `piece` starting at `at`.
inline bool StartsAt(std::string_view text, size_t at, std::string_view piece) {
  return at <= text.size() && text.substr(at).starts_with(piece);
}

}  // namespace ombrel
