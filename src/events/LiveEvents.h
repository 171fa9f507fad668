#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "events/EventSteps.h"
#include "shared/DamageTable.h"
#include "shared/DateTime.h"
#include "shared/EventRecord.h"

namespace ombrel {

// The events of a damage table that grows at its end, kept up to date at a
// cost that follows the new records, and at every update exactly what
// BuildEvents gives for the table and mob list as they then stand.
//
// What makes this more than a walk over the new records:
// - A name becomes a mob when the character first damages it, and from then
//   on its earlier records count too. Every record that a later mob could
//   claim (its dealer is no mob yet, or neither party is) is kept in a list
//   under each such name; a new mob takes its list and builds its events
//   from those records, so that its cost follows the records naming it.
// - A record between two mobs counts for its dealer: a new mob that dealt
//   damage to an older mob takes those records away from the older mob's
//   events. That is rare (a charmed mob, a player the character attacks), and
//   the events are then built again from the start.
// - Events are ordered by their first record, so a new mob's events are
//   merged in between the others.
// - The last record of the table may still be amended by the next line (a
//   cast completed by its hit, a special attack naming its hit), so it is
//   applied provisionally and taken back at the next update.
// - A mob's death (extended rules) closes its latest event. A death is taken
//   before the first record after its line; a death of a name that is no mob
//   yet is kept under the name, for when it becomes one and takes its
//   earlier records.
// - A mob with an empty name changes how the first event is opened; when the
//   mob list holds the empty name and some record has an empty party, every
//   update builds the events with BuildEvents itself.
class LiveEvents {
 public:
  explicit LiveEvents(int32_t event_gap);

  // Brings the events up to `table` and `mob_list`. Since the last update
  // records may only have been appended (the last one amended) and mobs only
  // added (the list's one empty entry replaced by the first).
  void Update(const DamageTable& table, std::span<const std::string_view> mob_list);

  // The name `from` is shown as `to` wherever the table and mob list show
  // it (a pet that took its owner's first letter): the events follow,
  // without being built again. `to` must be a name the table and mob list
  // never showed.
  void Rename(std::string_view from, std::string_view to);

  // The events as BuildEvents builds them from the table and mob list of the
  // last update; always at least one.
  const std::vector<EventRecord>& Events() const;

  // True when event `index` (of Events()) is the latest of its mob, the only
  // one that a later record of the mob can join.
  bool IsLatestOfMob(size_t index) const;
  // The events (indexes of Events()) that are the latest of their mob, in
  // order: as many as there are mobs with a fight.
  std::vector<size_t> LatestOfEachMob() const;

  // True when the events were built again from the start at some update
  // (for tests of the slow paths).
  bool RebuiltOnce() const { return rebuilt_once_; }

 private:
  struct Mob {
    int64_t latest = -1;  // StartCounter of the mob's latest event; -1: none
  };
  // What the provisional last record did, to take it back.
  struct Provisional {
    bool applied = false;
    size_t index = 0;
    std::string_view waiting[2];  // lists it was added to
    std::string_view mob;         // its mob, empty for none
    int64_t previous_latest = -1;
    bool opened = false;
    EventRecord before;  // the event it joined, as it was
  };
  using NameSet = std::unordered_set<std::string_view, event_steps::NameHash>;

  void TakeBackProvisional();
  std::vector<std::string_view> NewMobs(std::span<const std::string_view> mob_list);
  // False when a record moved from one mob to another: the caller rebuilds.
  bool ClaimEarlierRecords(const DamageTable& table, const std::vector<std::string_view>& names);
  void Apply(const DamageTable& table, size_t index, bool provisional);
  // Takes the deaths on the lines before `line`.
  void TakeDeaths(const DamageTable& table, int64_t line);
  // The deaths kept under `name` from `next` on that lie before `line`:
  // when there are any, the mob's latest event is closed.
  void CloseKilled(Mob& mob, const std::vector<int64_t>& deaths, size_t& next, int64_t line);
  // Adds record `index` to the events of `mob`; events opened go to `events`
  // (which must then be sorted by first record).
  void Join(Mob& mob, std::string_view name, const DamageRecord& r, bool dealt, size_t index,
            std::vector<EventRecord>& events, Provisional* undo);
  EventRecord& EventStartingAt(std::vector<EventRecord>& events, int64_t start);
  void Rebuild(const DamageTable& table, std::span<const std::string_view> mob_list);
  void BuildLiterally(const DamageTable& table, std::span<const std::string_view> mob_list);
  Mob* FindMob(std::string_view name);

  int32_t gap_;
  bool literal_ = false;
  bool rebuilt_once_ = false;
  std::vector<EventRecord> events_;    // by first record; empty: only the empty event
  std::vector<EventRecord> no_event_;  // the one empty event of a log without fights
  std::unordered_map<std::string_view, Mob, event_steps::NameHash> mobs_;
  // Records a later mob could claim, under the names that could claim them.
  std::unordered_map<std::string_view, std::vector<uint32_t>, event_steps::NameHash> waiting_;
  // The lines of the deaths of names that are no mobs yet.
  std::unordered_map<std::string_view, std::vector<int64_t>, event_steps::NameHash> deaths_of_;
  size_t deaths_taken_ = 0;
  size_t processed_ = 0;            // records applied, the provisional one included
  size_t mob_entries_ = 0;          // mob-list entries read
  std::string_view first_mob_;      // the list's first entry as last read
  bool empty_name_listed_ = false;  // an entry after the first was empty
  bool empty_party_seen_ = false;   // some damage record has an empty dealer or taker
  Provisional provisional_;
};

// True when no event after `index` (in the order of `events`, as BuildEvents
// gives them) has the same mob: only the latest event of a mob can take its
// later records.
bool NoLaterEventOfItsMob(const std::vector<EventRecord>& events, size_t index);

}  // namespace ombrel
