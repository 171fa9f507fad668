#pragma once

#include <cstdint>

#include "shared/DamageRecord.h"
#include "shared/EventRecord.h"

namespace ombrel {

// A hit the log marked critical (extended rules); a swing that did not hit
// counts as none.
inline bool IsCriticalHit(const DamageRecord& r) {
  return r.Crit != 0 && IsDamageType(r.Type);
}

// Counts a dealt swing that did not hit: a miss, or how the opponent escaped
// it. Hits and casts count nothing here.
inline void CountMissOrAvoidance(CombatantSummary& row, int32_t type) {
  switch (type) {
    case kMiss:
      ++row.Misses;
      break;
    case kParry:
      ++row.Parries;
      break;
    case kDodge:
      ++row.Dodges;
      break;
    case kRiposte:
      ++row.Ripostes;
      break;
    case kBlock:
      ++row.Blocks;
      break;
    default:
      break;
  }
}

}  // namespace ombrel
