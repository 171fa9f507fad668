#include "logtext/FoldCase.h"

#include "shared/Sse2.h"

namespace ombrel {
namespace {

CaseFold MakeFold() {
  CaseFold fold;
  for (int b = 0; b < 256; ++b) {
    fold.small[b] = static_cast<unsigned char>(b);
    fold.other[b] = static_cast<unsigned char>(b);
  }
  auto pair = [&](int capital, int small) {
    fold.small[capital] = static_cast<unsigned char>(small);
    fold.other[capital] = static_cast<unsigned char>(small);
    fold.other[small] = static_cast<unsigned char>(capital);
  };
  for (int b = 'A'; b <= 'Z'; ++b) pair(b, b + 32);
  for (int b = 0xC0; b <= 0xDE; ++b) {
    if (b != 0xD7) pair(b, b + 32);
  }
  pair(0x8A, 0x9A);
  pair(0x8C, 0x9C);
  pair(0x8E, 0x9E);
  pair(0x9F, 0xFF);
  return fold;
}

bool EqualFolded(const unsigned char* text, std::string_view folded, const CaseFold& fold) {
  for (size_t k = 0; k < folded.size(); ++k) {
    if (fold.small[text[k]] != static_cast<unsigned char>(folded[k])) return false;
  }
  return true;
}

}  // namespace

const CaseFold& Cp1252CaseFold() {
  static const CaseFold fold = MakeFold();
  return fold;
}

std::string FoldCase(std::string_view text) {
  const CaseFold& fold = Cp1252CaseFold();
  std::string folded(text);
  for (char& c : folded) c = static_cast<char>(fold.small[static_cast<unsigned char>(c)]);
  return folded;
}

size_t FindFolded(std::string_view text, std::string_view folded_needle, size_t from) {
  const CaseFold& fold = Cp1252CaseFold();
  const size_t n = text.size();
  const size_t m = folded_needle.size();
  if (from > n || m > n - from) return std::string_view::npos;
  if (m == 0) return from;
  const auto* h = reinterpret_cast<const unsigned char*>(text.data());
  const std::string_view w = folded_needle;
  size_t i = from;
#if OMBREL_SSE2
  if (n - i >= m + 15) {
    // Blanks stand everywhere in a line: a needle's bytes next to its blanks probe better.
    const size_t a = (w[0] == ' ' && m > 2) ? 1 : 0;
    const size_t b = (m > 2 && w[m - 1] == ' ' && m - 2 > a) ? m - 2 : m - 1;
    const auto wa = static_cast<unsigned char>(w[a]);
    const auto wb = static_cast<unsigned char>(w[b]);
    const __m128i first = _mm_set1_epi8(static_cast<char>(wa));
    const __m128i first_other = _mm_set1_epi8(static_cast<char>(fold.other[wa]));
    const __m128i last = _mm_set1_epi8(static_cast<char>(wb));
    const __m128i last_other = _mm_set1_epi8(static_cast<char>(fold.other[wb]));
    auto candidates = [&](size_t at) {
      const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + at + a));
      const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + at + b));
      const __m128i xs = _mm_or_si128(_mm_cmpeq_epi8(x, first), _mm_cmpeq_epi8(x, first_other));
      const __m128i ys = _mm_or_si128(_mm_cmpeq_epi8(y, last), _mm_cmpeq_epi8(y, last_other));
      return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(xs, ys)));
    };
    auto confirm = [&](size_t at, unsigned mask) {
      for (; mask != 0; mask &= mask - 1) {
        const size_t pos = at + static_cast<size_t>(__builtin_ctz(mask));
        if (EqualFolded(h + pos, w, fold)) return pos;
      }
      return std::string_view::npos;
    };
    for (; i + m + 15 <= n; i += 16) {
      const size_t found = confirm(i, candidates(i));
      if (found != std::string_view::npos) return found;
    }
    if (i + m <= n) {
      const size_t at = n - m - 15;
      return confirm(at, candidates(at) & ~((1u << (i - at)) - 1u));
    }
    return std::string_view::npos;
  }
#endif
  for (; i + m <= n; ++i) {
    if (EqualFolded(h + i, w, fold)) return i;
  }
  return std::string_view::npos;
}

}  // namespace ombrel
