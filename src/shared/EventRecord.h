#pragma once

#include <cstdint>
#include <string>

#include "shared/DateTime.h"

namespace ombrel {

// One row of a summary: an event (a fight against one mob, seen from the mob),
// a combatant of one event, or a damage source of one combatant. The fields
// mean the same in all three, from the point of view of the named party.
// Sums and counts are 64-bit so a long fight cannot overflow them.
struct EventRecord {
  std::string Name;
  int64_t DamageTaken = 0;
  int64_t DamageDealt = 0;
  DateTime StartDate;
  DateTime EndDate;
  int64_t Duration = 0;
  int64_t StartCounter = 0;  // first DamageTable index of the event
  int64_t EndCounter = 0;    // last DamageTable index of the event
  int64_t MaxHitTaken = 0;
  int64_t MinHitTaken = 0;
  int64_t HitsTaken = 0;
  int64_t SwingsTaken = 0;
  int64_t MaxHitDealt = 0;
  int64_t MinHitDealt = 0;
  int64_t HitsDealt = 0;
  int64_t SwingsDealt = 0;
  int64_t Misses = 0;
  int64_t Parries = 0;
  int64_t Dodges = 0;
  int64_t Ripostes = 0;
  int64_t Blocks = 0;
  bool HasPet = false;

  friend bool operator==(const EventRecord&, const EventRecord&) = default;
};

// A row of the event detail (a combatant) or of a combatant's sources: an
// event's figures plus the critical hits, which only these lists count (a
// fight of the events list does not carry them).
struct CombatantSummary : EventRecord {
  int64_t CritsTaken = 0;  // critical hits among HitsTaken
  int64_t CritsDealt = 0;  // critical hits among HitsDealt

  friend bool operator==(const CombatantSummary&, const CombatantSummary&) = default;
};
using SourceRow = CombatantSummary;

}  // namespace ombrel
