#include "parse/VerbScan.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ombrel {

VerbScanner::VerbScanner(AttackVerbList verbs) : verbs_(verbs.begin(), verbs.end()) {
  std::vector<size_t> bucket_of(verbs_.size());
  for (size_t k = 0; k < verbs_.size(); ++k) {
    const std::string_view verb = verbs_[k];
    patterns_.push_back(" " + std::string(verb) + " ");
    const size_t first_word = std::min(verb.find(' '), verb.size());
    const unsigned char first = first_word == 0 ? 0 : static_cast<unsigned char>(verb[0]);
    bucket_of[k] = Bucket(first_word, first);
    ++bucket_begin_[bucket_of[k] + 1];
  }
  for (size_t b = 0; b < kBuckets; ++b) bucket_begin_[b + 1] += bucket_begin_[b];
  // Filling in table order keeps each bucket in table order.
  std::array<uint16_t, kBuckets> filled = {};
  entries_.resize(verbs_.size());
  for (size_t k = 0; k < verbs_.size(); ++k) {
    const size_t b = bucket_of[k];
    entries_[bucket_begin_[b] + filled[b]++] = static_cast<uint16_t>(k);
  }
}

VerbMatch VerbScanner::Scan(std::string_view line) const {
  VerbMatch best;
  const char* data = line.data();
  const size_t size = line.size();
  size_t previous = std::string_view::npos;  // the blank before the current word
  // Called for every blank in order; false once no better verb can come.
  auto next_blank = [&](size_t blank) {
    if (previous != std::string_view::npos) {
      const size_t word = previous + 1;
      const size_t length = blank - word;
      const unsigned char first = length == 0 ? 0 : static_cast<unsigned char>(data[word]);
      const size_t bucket = Bucket(length, first);
      for (size_t e = bucket_begin_[bucket]; e < bucket_begin_[bucket + 1]; ++e) {
        const int k = entries_[e];
        if (best.found() && k >= best.index) break;  // entries are in table order
        const std::string& pattern = patterns_[static_cast<size_t>(k)];
        if (pattern.size() <= size - previous &&
            std::memcmp(data + previous, pattern.data(), pattern.size()) == 0) {
          best.index = k;
          best.at = previous;
          best.verb = verbs_[static_cast<size_t>(k)];
          break;
        }
      }
    }
    previous = blank;
    return best.index != 0;
  };
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i blank = _mm_set1_epi8(' ');
  for (; i + 16 <= size; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, blank)));
         mask != 0; mask &= mask - 1) {
      if (!next_blank(i + static_cast<size_t>(__builtin_ctz(mask)))) return best;
    }
  }
#endif
  for (; i < size; ++i) {
    if (data[i] == ' ' && !next_blank(i)) return best;
  }
  return best;
}

}  // namespace ombrel
