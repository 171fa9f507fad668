#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "shared/EventRecord.h"

namespace ombrel {

// The per-attack rows of one combatant as HTML table rows of 25 cells, joined
// with nothing between them. `event_duration` is the whole event's duration,
// the divisor of the ADPS cell. No rows render as the single unnamed row.
std::string RenderCombatantDetailRows(std::span<const SourceRow> rows, int64_t event_duration);

}  // namespace ombrel
