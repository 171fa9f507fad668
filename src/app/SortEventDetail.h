#pragma once

#include <string_view>

#include "shared/TextTable.h"

namespace ombrel {

// The name order of the event-detail sort: true when `a` stays ahead of `b`.
bool NameSortsBefore(std::string_view a, std::string_view b);

// Reorders the event-detail list below its first (total) row by key column
// 0 to 4 (name, damage dealt, duration, DPS, ADPS) and re-renders its cells.
void SortEventDetail(TextTable& list, int key);

}  // namespace ombrel
