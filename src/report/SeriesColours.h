#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "analysis/Timeline.h"

namespace ombrel {

// The colours (0xRRGGBB) of the timeline's lines.
inline constexpr uint32_t kCombatantPalette[] = {0x1f77b4, 0xff7f0e, 0x2ca02c, 0x9467bd,
                                                 0x8c564b, 0xe377c2, 0x17becf, 0xbcbd22};
inline constexpr uint32_t kOthersRgb = 0x7f7f7f;
inline constexpr uint32_t kOpponentRgb = 0xd62728;

// Colours that stay with names: a combatant keeps the palette colour it was
// first given for as long as the book lives, whatever its rank in the chart,
// so that its line keeps its colour while a followed fight grows and in every
// fight of a log. A name seen for the first time takes a colour that no other
// line of its chart has, the one given to the fewest names first.
class SeriesColours {
 public:
  // One colour per series of `chart`: "Others" grey, the opponent red, each
  // combatant the colour of its name.
  std::vector<uint32_t> Of(const DpsChart& chart);

 private:
  std::unordered_map<std::string, size_t> colour_of_name_;  // index into kCombatantPalette
  size_t names_of_colour_[std::size(kCombatantPalette)] = {};
};

}  // namespace ombrel
