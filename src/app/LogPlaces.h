#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "app/App.h"
#include "logtext/LogLines.h"

namespace ombrel {

// Where the rows of the app's lists stand in the log, for the log view and
// a fight's lines.

// The lines of the fight in row `row` of the events list: its first record's
// line to its last's. Nothing for the empty event of a log without fights.
std::optional<LineSpan> EventLines(const App& app, size_t row);

// The line of the first record behind row `row` of the combatant-detail list
// (PC Detail): the first of the fight's records stamped with the row's
// earliest time. Nothing when the list has no such row.
std::optional<int64_t> CombatantRowLine(const App& app, size_t row);

}  // namespace ombrel
