#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <span>
#include <vector>

#include "shared/EventRecord.h"

namespace ombrel {

// The fights of a log grouped into encounters: an encounter is a set of
// fights whose spans (first to last record) overlap or lie within the idle
// gap of each other, directly or through other fights of the set, whatever
// their mobs. A boss and its adds, a pull of five, one area spell's dozen
// victims: one encounter each. Every fight is in exactly one encounter, and
// fights of different encounters lie more than the gap apart. Encounters are
// numbered by their first fight's start; the empty event of a log without
// fights is in none.
class Encounters {
 public:
  size_t size() const { return begin_.empty() ? 0 : begin_.size() - 1; }
  bool empty() const { return size() == 0; }
  // The 1-based event numbers (events-list rows) of encounter `e` (0-based),
  // ascending.
  std::span<const int32_t> FightsOf(size_t e) const {
    return std::span<const int32_t>(fights_).subspan(begin_[e], begin_[e + 1] - begin_[e]);
  }

 private:
  friend Encounters GroupEncounters(std::span<const EventRecord>, int32_t);
  std::vector<int32_t> fights_;  // encounter after encounter
  std::vector<size_t> begin_;    // encounter e holds fights_[begin_[e], begin_[e + 1])
};

// Groups `events` (the events table) with the idle gap `event_gap` (seconds):
// a fight that starts at most the gap after the latest end of the fights
// before it (by start) joins their encounter. Takes O(n log n).
Encounters GroupEncounters(std::span<const EventRecord> events, int32_t event_gap);

// An encounter's figures as one record, seen from its opponents: the name of
// its first fight's mob, damage and hits summed, the earliest start and latest
// end, and the duration counted over the time any of its fights was active
// (ActiveSeconds), so that a pause inside the encounter shorter than the gap
// counts while fights overlapping each other count once.
EventRecord EncounterSummary(std::span<const EventRecord> events, std::span<const int32_t> fights);

// encounters.csv: one line per encounter (Encounter, Fights, First Row, Last
// Row, Opponents, Start, End, Duration, Damage Taken, Damage Dealt, DPS Taken,
// DPS Dealt), CR LF line ends. Opponents are the distinct mobs in the order
// of their first fight, joined by "; "; the rates have two decimals.
void WriteEncountersCsv(std::ostream& out, std::span<const EventRecord> events,
                        const Encounters& encounters);

}  // namespace ombrel
