#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "shared/EventRecord.h"
#include "shared/Globals.h"
#include "shared/TextTable.h"

namespace ombrel {

// The combatant rows of event `event_number` (1-based events-list row), the
// " [ Total ] " row first. Rebuilds g.GlyphList and g.VeteranList.
std::vector<CombatantSummary> ShowEventDetail(Globals& g, int32_t event_number);

// The event-detail list: 25 cell texts per row (name, then 24 columns).
TextTable EventDetailListRows(const std::vector<CombatantSummary>& rows);

// textpclist.csv: header and 19 fields per row, CR LF line ends.
void WriteTextPcListCsv(std::ostream& out, const std::vector<CombatantSummary>& rows);

}  // namespace ombrel
