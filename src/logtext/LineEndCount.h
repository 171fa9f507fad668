#pragma once

#include <cstddef>
#include <cstdint>

#include "shared/Sse2.h"

namespace ombrel {

// The line ends among `size` bytes at `data`, which follow the byte `before`
// (0 at the log's start): every LF, and the LFs that complete a CR LF (a CR
// LF is counted at its LF, also when its CR is `before`). Blocks of 16 bytes
// are counted at once.
struct LineEndCounts {
  uint64_t lf = 0;
  uint64_t crlf = 0;
};

inline LineEndCounts CountLineEnds(const char* data, size_t size, char before) {
  LineEndCounts counts;
  if (size == 0) return counts;
  if (data[0] == '\n') {
    ++counts.lf;
    if (before == '\r') ++counts.crlf;
  }
  size_t i = 1;
#if OMBREL_SSE2
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  for (; i + 16 <= size; i += 16) {
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i prev = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i - 1));
    const __m128i ends = _mm_cmpeq_epi8(here, lf);
    const unsigned lf_mask = static_cast<unsigned>(_mm_movemask_epi8(ends));
    if (lf_mask == 0) continue;
    counts.lf += static_cast<uint64_t>(__builtin_popcount(lf_mask));
    counts.crlf += static_cast<uint64_t>(__builtin_popcount(
        static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(ends, _mm_cmpeq_epi8(prev, cr))))));
  }
#endif
  for (; i < size; ++i) {
    if (data[i] != '\n') continue;
    ++counts.lf;
    if (data[i - 1] == '\r') ++counts.crlf;
  }
  return counts;
}

}  // namespace ombrel
