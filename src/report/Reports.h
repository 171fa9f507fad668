#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "analysis/CombatantDetail.h"
#include "analysis/EventDetail.h"
#include "shared/ParsedLog.h"
#include "shared/TextTable.h"

namespace ombrel {

// The HTML reports write Windows-1252 bytes as the lists hold them, lines
// ended by CR LF; every inserted value is HTML-escaped.

// The HTML events report of the events list. `created` is the creation stamp
// (the local date-time in the default date-time text).
void WriteEventsReport(std::ostream& out, const TextTable& events_list, std::string_view created);

// What the event-detail report shows: the selected fights (1-based events-list
// rows, one or several seen as one) of `log`, its rows in the event-detail list's current order,
// the glyph and veteran casts of `detail`; `include_pets` as for BuildCombatantDetail. The
// unfolding rows come from `sources` when given (they must describe the same event), otherwise from
// the event's records grouped once for them all.
struct EventDetailReportInput {
  const ParsedLog& log;
  FightSelection fights;
  const EventDetail& detail;
  bool include_pets;
  const TextTable& events_list;
  const TextTable& event_detail_list;
  const CombatantSources* sources = nullptr;
};

// The HTML event-detail report.
void WriteEventDetailReport(std::ostream& out, const EventDetailReportInput& input,
                            std::string_view created);

// The hidden per-attack rows of one event-detail row, as HTML table rows;
// `combatant_name` is the row's first cell as listed, " + pet" included.
std::string CombatantDetailRows(const ParsedLog& log, const FightSelection& fights,
                                std::string_view combatant_name, bool include_pets);

}  // namespace ombrel
