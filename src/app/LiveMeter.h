#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "shared/EventRecord.h"
#include "shared/ParsedLog.h"

namespace ombrel {

// One bar of the live meter: a combatant of the encounter, the damage it
// dealt there and its damage per second over the time it was active, the
// figures the Event Detail of the encounter's fights shows.
struct MeterRow {
  std::string Name;
  int64_t Damage = 0;
  double Dps = 0;
  bool Own = false;  // the character's own row (with its pets, when they count)

  friend bool operator==(const MeterRow&, const MeterRow&) = default;
};

// The 1-based event numbers, ascending, of the last encounter of `events`
// (the one in progress while a log is followed): the last that
// GroupEncounters makes, found in one pass when the fights come in the order
// of their start, as a parse builds them. Empty when there is no fight.
std::vector<int32_t> LastEncounterFights(std::span<const EventRecord> events, int32_t event_gap);

// The live meter's figures: the last encounter of a log seen as the union of
// its fights, one row per combatant, most damage first. Kept up with a
// followed log: the union is analysed again only when the encounter's fights
// or the settings changed since the last update.
class LiveMeter {
 public:
  // Brings the meter to `log` under `settings`; true when what it shows
  // changed.
  bool Update(const ParsedLog& log, const Settings& settings);

  const std::vector<MeterRow>& Rows() const { return rows_; }
  // "first mob + N more", empty when the log holds no fight.
  const std::string& Caption() const { return caption_; }
  // The seconds any fight of the encounter was active.
  int64_t Seconds() const { return seconds_; }
  // The encounter's fights, as LastEncounterFights gives them.
  const std::vector<int32_t>& Fights() const { return fights_; }

 private:
  std::vector<int32_t> fights_;
  std::vector<EventRecord> seen_;  // the fights as they were at the last analysis
  Settings settings_;
  std::vector<MeterRow> rows_;
  std::string caption_;
  int64_t seconds_ = 0;
};

}  // namespace ombrel
