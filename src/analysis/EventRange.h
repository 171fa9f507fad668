#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "shared/DamageTable.h"
#include "shared/EventRecord.h"

namespace ombrel {

// The DamageTable indexes [begin, end) of an event's records, kept inside the
// table: the empty event of a log without fights must not walk an empty table.
struct IndexRange {
  size_t begin = 0;
  size_t end = 0;
};

inline IndexRange EventIndexes(const DamageTable& table, const EventRecord& event) {
  if (table.empty() || event.EndCounter < event.StartCounter) return {};
  const size_t first = static_cast<size_t>(event.StartCounter);
  const size_t last = std::min(static_cast<size_t>(event.EndCounter), table.size() - 1);
  if (first > last) return {};
  return {first, last + 1};
}

}  // namespace ombrel
