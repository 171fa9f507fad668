#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "shared/Globals.h"
#include "shared/TextTable.h"

namespace ombrel {

// The HTML reports write Windows-1252 bytes as the lists hold them, lines
// ended by CR LF; every inserted value is HTML-escaped.

// The HTML events report of the events list. `created` is the creation stamp
// (the local date-time in the default date-time text).
void WriteEventsReport(std::ostream& out, const TextTable& events_list, std::string_view created);

// The HTML event-detail report of event `event_number` (1-based events-list
// row), its rows in the event-detail list's current order.
void WriteEventDetailReport(std::ostream& out, const Globals& g, int32_t event_number,
                            const TextTable& events_list, const TextTable& event_detail_list,
                            std::string_view created);

// The hidden per-attack rows of one event-detail row, as HTML table rows;
// `combatant_name` is the row's first cell as listed, " + pet" included.
std::string CombatantDetailRows(const Globals& g, int32_t event_number,
                                std::string_view combatant_name);

}  // namespace ombrel
