#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

#include "shared/EventRecord.h"
#include "shared/ParsedLog.h"
#include "shared/TextTable.h"

namespace ombrel {

// The name of the first row of the event-detail list, which sums the event up
// from the opponent's side.
inline constexpr std::string_view kTotalRowName = " [ Total ] ";
// Appended to a combatant's name when its pets' or warders' records were merged
// into its row.
inline constexpr std::string_view kPetSuffix = " + pet";

// What the analysis of one event gives: the combatant rows, the " [ Total ] "
// row first, and the DamageTable indexes of the glyph and veteran casts made
// within the event's records (empty when no such cast happened).
struct EventDetail {
  std::vector<CombatantSummary> rows;
  std::vector<int64_t> GlyphList;
  std::vector<int64_t> VeteranList;
};

// The event detail of event `event_number` (1-based events-list row); with
// `include_pets` the records of pets and warders count on their owners' rows.
// Empty for an event number outside the list.
EventDetail BuildEventDetail(const ParsedLog& log, int32_t event_number, bool include_pets);

// The event-detail list, one row per combatant row. The first row is taken as the total row, whose
// dealt and taken columns swap.
TextTable EventDetailListRows(const std::vector<CombatantSummary>& rows);

// textpclist.csv: header and 19 fields per row, CR LF line ends.
void WriteTextPcListCsv(std::ostream& out, const std::vector<CombatantSummary>& rows);

}  // namespace ombrel
