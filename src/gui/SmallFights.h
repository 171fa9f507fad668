#pragma once

#include <cstdint>

namespace ombrel::gui {

// The smallest fight the events list shows: one whose damage (taken plus
// dealt) or listed duration is below either limit is hidden. 0 and 0 hide
// nothing.
struct SmallFightLimits {
  int64_t damage = 0;
  int64_t seconds = 0;
  bool HidesNothing() const { return damage <= 0 && seconds <= 0; }
  friend bool operator==(const SmallFightLimits&, const SmallFightLimits&) = default;
};

}  // namespace ombrel::gui
