#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

#include "shared/EventRecord.h"
#include "shared/Globals.h"
#include "shared/TextTable.h"

namespace ombrel {

// The name of the first row of the event-detail list, which sums the event up
// from the opponent's side.
inline constexpr std::string_view kTotalRowName = " [ Total ] ";
// Appended to a combatant's name when its pets' or warders' records were merged
// into its row.
inline constexpr std::string_view kPetSuffix = " + pet";

// The combatant rows of event `event_number` (1-based events-list row), the
// " [ Total ] " row first. Rebuilds g.GlyphList and g.VeteranList (empty when
// no such cast happened). No rows for an event number outside the list.
std::vector<CombatantSummary> ShowEventDetail(Globals& g, int32_t event_number);

// The event-detail list: 25 cell texts per row (name, then 24 columns). The
// first row is taken as the total row, whose dealt and taken columns swap.
TextTable EventDetailListRows(const std::vector<CombatantSummary>& rows);

// textpclist.csv: header and 19 fields per row, CR LF line ends.
void WriteTextPcListCsv(std::ostream& out, const std::vector<CombatantSummary>& rows);

}  // namespace ombrel
