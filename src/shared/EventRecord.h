#pragma once

#include <cstdint>
#include <string>

#include "shared/DateTime.h"

namespace ombrel {

// One row of a summary: an event (a fight against one mob, seen from the mob),
// or the base of a combatant of one event or of a damage source of one
// combatant. The fields mean the same in all three, from the point of view of
// the named party. Sums are 64-bit so a long fight cannot overflow them. A hit
// is one record's damage (32-bit), and a count counts records, of which a
// table holds fewer than 2^32 (their line numbers are 32-bit): both are held
// in 32 bits, and so are the indexes of an event's first and last records,
// a log of many short fights holding hundreds of thousands of these rows. A
// fight counts hits only: its swings and how they went are the combatants'
// (CombatantSummary).
struct EventRecord {
  std::string Name;
  int64_t DamageTaken = 0;
  int64_t DamageDealt = 0;
  DateTime StartDate;
  DateTime EndDate;
  int64_t Duration = 0;
  uint32_t StartCounter = 0;  // first DamageTable index of the event
  uint32_t EndCounter = 0;    // last DamageTable index of the event
  int32_t MaxHitTaken = 0;
  int32_t MinHitTaken = 0;
  int32_t MaxHitDealt = 0;
  int32_t MinHitDealt = 0;
  uint32_t HitsTaken = 0;
  uint32_t HitsDealt = 0;

  friend bool operator==(const EventRecord&, const EventRecord&) = default;
};
static_assert(sizeof(EventRecord) <= 104, "an event row stays small");

// A row of the event detail (a combatant) or of a combatant's sources: an
// event's figures plus the swings, misses and avoidances, and the critical
// hits, which only these lists count (a fight of the events list does not
// carry them).
struct CombatantSummary : EventRecord {
  uint32_t SwingsTaken = 0;
  uint32_t SwingsDealt = 0;
  uint32_t Misses = 0;
  uint32_t Parries = 0;
  uint32_t Dodges = 0;
  uint32_t Ripostes = 0;
  uint32_t Blocks = 0;
  bool HasPet = false;
  int64_t CritsTaken = 0;  // critical hits among HitsTaken
  int64_t CritsDealt = 0;  // critical hits among HitsDealt

  friend bool operator==(const CombatantSummary&, const CombatantSummary&) = default;
};
using SourceRow = CombatantSummary;

}  // namespace ombrel
