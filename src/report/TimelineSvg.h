#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/Timeline.h"

namespace ombrel {

// The colour (0xRRGGBB) of series `index` of a chart: a palette colour for each
// combatant by its rank, grey for "Others", red for the opponent. The picture
// of one fight uses these; the window keeps a colour per name (SeriesColours).
uint32_t TimelineSeriesRgb(const DpsChart& chart, size_t index);

// Round tick values for an axis from `low` to `high`: multiples of a step of
// 1, 2 or 5 times a power of ten (seconds also step by 15, 30, 60 and their
// multiples), about `wanted` of them, `low` and `high` included when round.
std::vector<double> AxisTicks(double low, double high, int wanted, bool seconds);

// timeline.svg: a standalone picture of the chart (no script, no external
// resource) titled with the opponent and the fight's start, with both axes,
// their labels and ticks, one line per series and a legend. Windows-1252 text,
// as the log holds it, declared as such.
void WriteTimelineSvg(std::ostream& out, const Timeline& timeline, const DpsChart& chart);

}  // namespace ombrel
