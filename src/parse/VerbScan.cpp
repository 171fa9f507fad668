#include "parse/VerbScan.h"

#include <algorithm>
#include <cstring>

#include "parse/StampLayout.h"
#include "shared/Sse2.h"

namespace ombrel {

VerbScanner::VerbScanner(AttackVerbList verbs) : verbs_(verbs.begin(), verbs.end()) {
  std::vector<size_t> group_of(verbs_.size());
  skip_in_stamped_ = kStampLayout.size();
  for (size_t k = 0; k < verbs_.size(); ++k) {
    const std::string_view verb = verbs_[k];
    Pattern& pattern = patterns_.emplace_back();
    pattern.text = " " + std::string(verb) + " ";
    skip_in_stamped_ = std::min(skip_in_stamped_, EarliestStartAfterStamp(pattern.text));
    if (pattern.text.size() <= sizeof pattern.padded)
      std::memcpy(pattern.padded, pattern.text.data(), pattern.text.size());
    const size_t first_word = std::min(verb.find(' '), verb.size());
    max_first_word_ = std::max(max_first_word_, first_word);
    const unsigned char first = first_word == 0 ? 0 : static_cast<unsigned char>(verb[0]);
    group_of[k] = Group(first_word, first);
  }
  group_begin_.assign(Group(max_first_word_ + 1, 0) + 1, 0);
  for (const size_t group : group_of) ++group_begin_[group + 1];
  for (size_t g = 0; g + 1 < group_begin_.size(); ++g) group_begin_[g + 1] += group_begin_[g];
  // Filling in table order keeps each group in table order.
  std::vector<uint16_t> filled(group_begin_.size());
  entries_.resize(verbs_.size());
  for (size_t k = 0; k < verbs_.size(); ++k) {
    const size_t g = group_of[k];
    entries_[group_begin_[g] + filled[g]++] = static_cast<uint16_t>(k);
  }
}

bool VerbScanner::Matches(const Pattern& pattern, const char* at, size_t left) {
  const size_t m = pattern.text.size();
  if (m > left) return false;
#if OMBREL_SSE2
  if (m <= sizeof pattern.padded && left >= sizeof pattern.padded) {
    const __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i want = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern.padded));
    const auto equal = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(text, want)));
    const unsigned wanted = (1u << m) - 1u;
    return (equal & wanted) == wanted;
  }
#endif
  return std::memcmp(at, pattern.text.data(), m) == 0;
}

VerbMatch VerbScanner::Scan(std::string_view line, bool stamped) const {
  const size_t skip = stamped ? std::min(skip_in_stamped_, line.size()) : 0;
  const char* data = line.data() + skip;
  line.remove_prefix(skip);
  const size_t size = line.size();
  const uint16_t* group_begin = group_begin_.data();
  const uint16_t* entries = entries_.data();
  const Pattern* patterns = patterns_.data();
  const size_t max_first_word = max_first_word_;
  int best = -1;
  size_t best_at = 0;
  size_t previous = std::string_view::npos;  // the blank before the current word
  // Called for every blank in order; false once no better verb can come.
  auto next_blank = [&](size_t blank) {
    const size_t length = blank - previous - 1;
    if (previous != std::string_view::npos && length <= max_first_word) {
      const size_t word = previous + 1;
      const unsigned char first = length == 0 ? 0 : static_cast<unsigned char>(data[word]);
      const size_t group = Group(length, first);
      const size_t end = group_begin[group + 1];
      for (size_t e = group_begin[group]; e < end; ++e) {
        const int k = entries[e];
        if (best >= 0 && k >= best) break;  // entries are in table order
        if (Matches(patterns[k], data + previous, size - previous)) {
          best = k;
          best_at = previous;
          break;
        }
      }
    }
    previous = blank;
    return best != 0;
  };
  auto result = [&] {
    VerbMatch match;
    if (best >= 0) {
      match.index = best;
      match.at = skip + best_at;
      match.verb = verbs_[static_cast<size_t>(best)];
    }
    return match;
  };
  size_t i = 0;
#if OMBREL_SSE2
  const __m128i blank = _mm_set1_epi8(' ');
  auto blanks = [&](size_t at) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, blank)));
  };
  for (; i + 16 <= size; i += 16) {
    for (unsigned mask = blanks(i); mask != 0; mask &= mask - 1)
      if (!next_blank(i + static_cast<size_t>(__builtin_ctz(mask)))) return result();
  }
  if (i < size && size >= 16) {
    // The last block ends at the line's end, less the positions already seen.
    const size_t at = size - 16;
    for (unsigned mask = blanks(at) & ~((1u << (i - at)) - 1u); mask != 0; mask &= mask - 1)
      if (!next_blank(at + static_cast<size_t>(__builtin_ctz(mask)))) return result();
    return result();
  }
#endif
  for (; i < size; ++i) {
    if (data[i] == ' ' && !next_blank(i)) return result();
  }
  return result();
}

}  // namespace ombrel
