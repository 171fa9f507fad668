#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

#include "shared/EventRecord.h"
#include "shared/Globals.h"
#include "shared/TextTable.h"

namespace ombrel {

// The sources (attacks and spells) with which the combatant listed as
// `combatant_text` in the event-detail list acted on the opponent of event
// `event_number` (1-based). " [ Total ] " and "Name + pet" rows are resolved
// here as well.
std::vector<SourceRow> ShowCombatantDetail(const Globals& g, int32_t event_number,
                                           std::string_view combatant_text);

// The per-source rows of one event-detail row as the event-detail report
// unfolds them: the combatant with its pets and warders; HasPet marks a row
// whose latest record was dealt by a pet or warder.
std::vector<SourceRow> CombatantReportSources(const Globals& g, int32_t event_number,
                                              std::string_view combatant_text);

// The combatant-detail list: 16 cell texts per row.
TextTable CombatantDetailListRows(const std::vector<SourceRow>& rows, int64_t event_duration);

// PCdetail.csv: header and 11 fields per row, CR LF line ends.
void WritePcDetailCsv(std::ostream& out, const std::vector<SourceRow>& rows);

}  // namespace ombrel
