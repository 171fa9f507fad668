#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/FightUnion.h"
#include "shared/DamageRecord.h"
#include "shared/EventRecord.h"
#include "shared/LineRules.h"
#include "shared/ListColumns.h"
#include "shared/ParsedLog.h"
#include "shared/TextTable.h"

namespace ombrel {

// The name of the first row of the event-detail list, which sums the event up
// from the opponent's side.
inline constexpr std::string_view kTotalRowName = " [ Total ] ";
// Appended to a combatant's name when its pets' or warders' records were merged
// into its row.
inline constexpr std::string_view kPetSuffix = " + pet";

// Told of every record that a row counts, in record order: the row's index in
// the returned rows, whether the opponent acted on the row's combatant (a
// taken record) or the reverse, and the record.
using CountedRecordSink = std::function<void(size_t row, bool taken, const DamageRecord& record)>;

// What the analysis of one event gives: the combatant rows, the " [ Total ] "
// row first, and the DamageTable indexes of the glyph and veteran casts made
// within the event's records (empty when no such cast happened).
struct EventDetail {
  std::vector<CombatantSummary> rows;
  std::vector<int64_t> GlyphList;
  std::vector<int64_t> VeteranList;
};

// The event detail of the selected fights (1-based events-list rows); with
// `include_pets` the records of pets and warders count on their owners' rows.
// Empty when no fight of the selection is in the list. `sink`, when given,
// sees each counted record as it is counted.
//
// Over several fights each record counts once, for the fight it belongs to
// (FightUnion), and a combatant's row sums its records of every fight. Its
// start and end are its earliest and latest record; its duration, behind its
// rates, is the time it was active: for each fight the seconds from its first
// to its last record there, overlapping stretches merged (ActiveSeconds). So
// two fights at once count once, and the idle time between fights, when no
// one fought, does not water down anyone's damage per second. The total row's
// duration is the time any of the fights was active, the same way.
EventDetail BuildEventDetail(const FightUnion& fights, bool include_pets,
                             const CountedRecordSink& sink = {});
EventDetail BuildEventDetail(const ParsedLog& log, const FightSelection& fights, bool include_pets,
                             const CountedRecordSink& sink = {});

// The event-detail list, one row per combatant row. The first row is taken as the total row, whose
// dealt and taken columns swap. Under the extended rules the crits and crit rate of the hits dealt
// (the total row: of the hits the opponent took) follow the other columns. The list holds a copy of
// the rows and no text: a cell is made from its row each time it is read.
TextTable EventDetailListRows(const std::vector<CombatantSummary>& rows,
                              LineRules rules = LineRules::kDefault);
// The text of cell `column` of list row `row` (0: the total row) of EventDetailListRows(rows).
std::string EventDetailListCell(const std::vector<CombatantSummary>& rows, size_t row,
                                EventDetailColumn column);
// The same list with every text made at once, row by row: what the rendered list is checked
// against.
TextTable EventDetailListTexts(const std::vector<CombatantSummary>& rows,
                               LineRules rules = LineRules::kDefault);

// textpclist.csv: header and 19 fields per row, CR LF line ends; under the extended rules 21, the
// row's crits dealt and their rate over its hits dealt after the others.
void WriteTextPcListCsv(std::ostream& out, const std::vector<CombatantSummary>& rows,
                        LineRules rules = LineRules::kDefault);

}  // namespace ombrel
