#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shared/AttackVerbs.h"

namespace ombrel {

// The attack verb of a combat line: the first entry of the verb table (in
// table order, not line order) that the line holds with a blank on each side,
// and where its first such occurrence starts (the leading blank).
struct VerbMatch {
  int index = -1;  // entry of the table; -1 when no verb occurs
  size_t at = 0;   // 0-based position of the blank before the verb
  std::string_view verb;

  bool found() const { return index >= 0; }
};

// Finds the verb in one pass over the blanks of a line instead of one search
// per table entry: the text after each blank is looked up among the entries
// whose first word has that length and first character.
class VerbScanner {
 public:
  explicit VerbScanner(AttackVerbList verbs);

  // `stamped`: the line opens with a well-formed stamp (StampLayout.h), in
  // which no verb can start.
  VerbMatch Scan(std::string_view line, bool stamped = false) const;

 private:
  // Verbs are grouped by the length and first character of their first word
  // (a word no longer than max_first_word_); each group lists its entries
  // in table order.
  static size_t Group(size_t length, unsigned char first) { return length * 256 + first; }

  std::vector<std::string_view> verbs_;
  // " verb ", zero-padded to 16 bytes when it fits, for a compare in one go.
  struct Pattern {
    std::string text;
    alignas(16) char padded[16] = {};
  };
  std::vector<Pattern> patterns_;
  // True when `left` bytes from `at` start with the pattern.
  static bool Matches(const Pattern& pattern, const char* at, size_t left);
  size_t max_first_word_ = 0;
  // Where the first verb could start in a line that opens with a stamp.
  size_t skip_in_stamped_ = 0;
  // Group g holds entries_[group_begin_[g] .. group_begin_[g + 1]).
  std::vector<uint16_t> group_begin_;
  std::vector<uint16_t> entries_;
};

}  // namespace ombrel
