#pragma once

#include <cstdint>

#include "shared/DamageTable.h"

namespace ombrel {

// What a parse saw of a log beside its records: whether it looks like a
// combat log at all, and, under the default rules, signs that the extended
// rules would read it better.
struct LineSigns {
  int64_t stamped_lines = 0;  // lines that open with a well-formed time stamp
  // Default rules only: lines holding "damage" that no rule read (a verb or
  // a shape it does not know), and "... was hit by non-melee for ..." lines.
  int64_t extended_lines = 0;
  // Default rules only: party names that another party's name equals but for
  // the case of its first letter ("a gnoll" beside "A gnoll"), counted once
  // per pair (CountCasePairs).
  int64_t case_pairs = 0;

  bool operator==(const LineSigns&) const = default;
  LineSigns& operator+=(const LineSigns& other) {
    stamped_lines += other.stamped_lines;
    extended_lines += other.extended_lines;
    case_pairs += other.case_pairs;
    return *this;
  }
  // True when the extended rules would read the log, a combat log, better.
  bool FavourExtendedRules() const {
    return stamped_lines > 0 && (extended_lines > 0 || case_pairs > 0);
  }
};

// The pairs of dealer or taker names of `table` that are equal but for the
// case of their first letter.
int64_t CountCasePairs(const DamageTable& table);

}  // namespace ombrel
