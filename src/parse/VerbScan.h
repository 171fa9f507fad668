#pragma once

#include <array>
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

  VerbMatch Scan(std::string_view line) const;

 private:
  // Verbs are grouped by the length and first character of their first word;
  // a group is only a shortlist, every candidate is compared whole.
  static constexpr size_t kBuckets = 256;
  static size_t Bucket(size_t length, unsigned char first) {
    return (length * 37 + first) % kBuckets;
  }

  std::vector<std::string_view> verbs_;
  std::vector<std::string> patterns_;  // " verb "
  // Bucket b holds entries_[bucket_begin_[b] .. bucket_begin_[b + 1]), in table order.
  std::array<uint16_t, kBuckets + 1> bucket_begin_{};
  std::vector<uint16_t> entries_;
};

}  // namespace ombrel
