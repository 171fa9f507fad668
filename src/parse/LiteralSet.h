#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#include "parse/TextSearch.h"
#include "shared/Sse2.h"

namespace ombrel {

// A literal given as a template argument: FindLiterals<"begin", "damage">.
template <size_t N>
struct Literal {
  static_assert(N >= 3, "a literal of at least two bytes");
  char text[N - 1] = {};

  constexpr Literal(const char (&literal)[N]) {  // NOLINT: implicit on purpose
    for (size_t k = 0; k + 1 < N; ++k) text[k] = literal[k];
  }
  static constexpr size_t size() { return N - 1; }
  constexpr std::string_view view() const { return {text, N - 1}; }
};

namespace literal_set {

// How often a byte turns up in the messages of a log, roughly: blanks and
// common lower-case letters score high, everything not listed 0.
constexpr int Commonness(char c) {
  constexpr std::string_view kByFrequency = " etaoinshrdlcumwfgypbvkjxqz";
  const size_t at = kByFrequency.find(c);
  return at == std::string_view::npos ? 0 : static_cast<int>(kByFrequency.size() - at);
}

// Two places in a literal whose bytes are the least likely to be matched by
// chance: a start position is a candidate when both bytes are in place.
struct Probes {
  size_t first = 0;
  size_t second = 0;
};

template <auto literal>
constexpr Probes ProbesOf() {
  constexpr std::string_view text = literal.view();
  for (const char c : text)
    if (c == '\0') throw "a literal holds no NUL byte";  // not a constant expression: an error
  Probes probes;
  for (size_t k = 1; k < text.size(); ++k)
    if (Commonness(text[k]) < Commonness(text[probes.first])) probes.first = k;
  probes.second = probes.first == 0 ? 1 : 0;
  for (size_t k = 0; k < text.size(); ++k)
    if (k != probes.first && Commonness(text[k]) < Commonness(text[probes.second]))
      probes.second = k;
  return probes;
}

template <auto... literals>
constexpr size_t kMaxReach = std::max({ProbesOf<literals>().first...,
                                       ProbesOf<literals>().second...});

#if OMBREL_SSE2
// The candidates among the 16 start positions from `at`, as a byte mask.
template <auto literal>
inline __m128i Candidates(const char* at) {
  constexpr Probes probes = ProbesOf<literal>();
  const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + probes.first));
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + probes.second));
  return _mm_and_si128(_mm_cmpeq_epi8(a, _mm_set1_epi8(literal.text[probes.first])),
                       _mm_cmpeq_epi8(b, _mm_set1_epi8(literal.text[probes.second])));
}

// True when the literal starts at one of the candidates of the block at `at`
// of `base`, `size` bytes long.
template <auto literal>
inline bool Confirm(const char* base, size_t at, size_t size) {
  auto mask = static_cast<unsigned>(_mm_movemask_epi8(Candidates<literal>(base + at)));
  for (; mask != 0; mask &= mask - 1) {
    const size_t pos = at + static_cast<size_t>(__builtin_ctz(mask));
    if (pos + literal.size() <= size && std::memcmp(base + pos, literal.text, literal.size()) == 0)
      return true;
  }
  return false;
}

// Adds to `found` the literals starting among the 16 positions from `at`.
template <auto... literals, size_t... k>
inline void FindInBlock(const char* base, size_t at, size_t size, uint32_t& found,
                        std::index_sequence<k...>) {
  __m128i any = _mm_setzero_si128();
  ((any = _mm_or_si128(any, Candidates<literals>(base + at))), ...);
  if (_mm_movemask_epi8(any) == 0) return;
  ((found |= ((found >> k) & 1u) == 0 && Confirm<literals>(base, at, size) ? 1u << k : 0u), ...);
}

// Adds bit `k` to `found` when the literal starts at or after `at` in the
// text of `size` bytes at `base`, which holds at least the literal and 15
// bytes more: blocks from `at` while its probes' reads stay inside the text,
// then one block ending at the literal's last possible start (positions
// tested twice change nothing).
template <auto literal>
inline void FindInTail(const char* base, size_t at, size_t size, uint32_t& found, size_t k) {
  constexpr Probes probes = ProbesOf<literal>();
  constexpr size_t reach = std::max(probes.first, probes.second);
  if (((found >> k) & 1u) != 0) return;
  for (; at + reach + 16 <= size; at += 16) {
    if (Confirm<literal>(base, at, size)) {
      found |= 1u << k;
      return;
    }
  }
  if (at + literal.size() <= size && Confirm<literal>(base, size - literal.size() - 15, size))
    found |= 1u << k;
}

template <auto... literals, size_t... k>
inline void FindInTails(const char* base, size_t at, size_t size, uint32_t& found,
                        std::index_sequence<k...>) {
  (FindInTail<literals>(base, at, size, found, k), ...);
}
#endif

}  // namespace literal_set

// Which of a few literals a text holds, in one pass over the text instead of
// one search per literal: bit k of the result is set when the text holds the
// k-th literal anywhere. Most lines of a log hold none of the literals the
// classifier's rules start from, and are done with after this one pass.
template <Literal... literals>
uint32_t FindLiterals(std::string_view text) {
  static_assert(sizeof...(literals) >= 1 && sizeof...(literals) <= 32);
#if OMBREL_SSE2
  using namespace literal_set;
  constexpr size_t reach = kMaxReach<literals...>;
  constexpr auto order = std::make_index_sequence<sizeof...(literals)>();
  const size_t n = text.size();
  uint32_t found = 0;
  size_t at = 0;
  // Blocks whose reads stay inside the text are read where they are.
  for (; at + reach + 16 <= n; at += 16) FindInBlock<literals...>(text.data(), at, n, found, order);
  constexpr size_t longest = std::max({literals.size()...});
  if (at < n && n >= longest + 15) {
    // The rest, each literal in blocks that end inside the text.
    FindInTails<literals...>(text.data(), at, n, found, order);
  } else if (at < n) {
    // The rest of a short text, copied into zeros: literals hold no NUL
    // byte, so the zeros past the text's end match none of them.
    alignas(16) char rest[2 * (reach + 16) + 16] = {};
    const size_t left = n - at;
    std::memcpy(rest, text.data() + at, left);
    for (size_t from = 0; from < left; from += 16)
      FindInBlock<literals...>(rest, from, left, found, order);
  }
  return found;
#else
  uint32_t found = 0;
  size_t k = 0;
  ((found |= ContainsText(text, literals.view()) ? 1u << k : 0u, ++k), ...);
  return found;
#endif
}

}  // namespace ombrel
