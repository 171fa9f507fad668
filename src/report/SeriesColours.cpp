#include "report/SeriesColours.h"

#include <array>

namespace ombrel {

std::vector<uint32_t> SeriesColours::Of(const DpsChart& chart) {
  constexpr size_t kColours = std::size(kCombatantPalette);
  std::vector<uint32_t> rgb(chart.Series.size(), kOthersRgb);
  // The colours the chart's known names hold already.
  std::array<bool, kColours> taken{};
  for (const DpsSeries& series : chart.Series) {
    if (series.Kind != SeriesKind::kCombatant) continue;
    const auto known = colour_of_name_.find(series.Name);
    if (known != colour_of_name_.end()) taken[known->second] = true;
  }
  for (size_t s = 0; s < chart.Series.size(); ++s) {
    const DpsSeries& series = chart.Series[s];
    if (series.Kind == SeriesKind::kOpponent) rgb[s] = kOpponentRgb;
    if (series.Kind != SeriesKind::kCombatant) continue;
    auto [place, added] = colour_of_name_.try_emplace(series.Name, 0);
    if (added) {
      // A free colour of this chart, the least given one, the palette's order
      // breaking ties; when all are taken, the least given one.
      size_t best = kColours;
      for (const bool free_only : {true, false}) {
        for (size_t c = 0; c < kColours; ++c) {
          if (free_only && taken[c]) continue;
          if (best == kColours || names_of_colour_[c] < names_of_colour_[best]) best = c;
        }
        if (best != kColours) break;
      }
      place->second = best;
      taken[best] = true;
      ++names_of_colour_[best];
    }
    rgb[s] = kCombatantPalette[place->second];
  }
  return rgb;
}

}  // namespace ombrel
