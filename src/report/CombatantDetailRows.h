#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "shared/EventRecord.h"

namespace ombrel {

// The per-attack rows of one combatant as HTML table rows of 25 cells (27 with
// `crits`: the crits and crit rate of its hits after them), joined with
// nothing between them. `event_duration` is the whole event's duration, the
// divisor of the ADPS cell. No rows render as the single unnamed row.
std::string RenderCombatantDetailRows(std::span<const SourceRow> rows, int64_t event_duration,
                                      bool crits = false);

}  // namespace ombrel
