#pragma once

#include <string_view>

#include "shared/ListColumns.h"
#include "shared/TextTable.h"

namespace ombrel {

// The name order of the event-detail sort: true when `a` stays ahead of `b`.
// Names are Windows-1252 bytes; each character is taken as its UTF-16 unit and
// the units are compared byte by byte, low byte first, except the very last
// byte of `b`. Where no compared byte differs, `a` stays ahead when it is at
// least as long as `b`: equal names keep their order and "Ab2" goes ahead of
// "Ab". An empty name on either side gives false.
bool NameSortsBefore(std::string_view a, std::string_view b);

// True for the columns the event-detail list sorts by: the name, damage
// dealt, duration, DPS and ADPS.
bool IsSortKey(EventDetailColumn column);

// Reorders the event-detail list below its first (total) row by a sort key
// (name ascending; damage dealt, duration, DPS, ADPS descending; ties keep
// their order) and re-renders its cells from the values read back. Any other
// column leaves the list as it is.
void SortEventDetail(TextTable& list, EventDetailColumn key);

}  // namespace ombrel
