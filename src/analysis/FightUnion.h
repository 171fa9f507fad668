#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/EventRange.h"
#include "shared/EventRecord.h"
#include "shared/ParsedLog.h"

namespace ombrel {

// The fights an analysis covers, as 1-based events-list rows: one row (the
// single fight of the events list), or several analysed as one.
struct FightSelection {
  std::vector<int32_t> event_numbers;

  FightSelection() = default;
  FightSelection(int32_t event_number) : event_numbers{event_number} {}  // NOLINT: one fight
  FightSelection(std::vector<int32_t> numbers) : event_numbers(std::move(numbers)) {}  // NOLINT
};

// Several fights of one log seen as one: every record of each fight once,
// the combatants' figures over all of them. A fight of the selection outside
// the events list is left out; a union of one fight is that fight exactly.
//
// Which fight a record belongs to: the fight, among those whose records span
// its index, of the opponent that dealt it, else of the opponent that took it
// (a record between two opponents counts for its dealer, as it does when the
// fights are built).
class FightUnion {
 public:
  // `log` must outlive the union.
  FightUnion(const ParsedLog& log, const FightSelection& selection);

  const ParsedLog& Log() const { return log_; }
  bool empty() const { return fights_.empty(); }
  // The fights, in events-list order, each once.
  const std::vector<const EventRecord*>& Fights() const { return fights_; }
  // Their event numbers, ascending.
  const std::vector<int32_t>& EventNumbers() const { return numbers_; }
  // The DamageTable indexes of the fights' records, merged: every index once,
  // ascending.
  const std::vector<IndexRange>& Ranges() const { return ranges_; }

  // The fight (an index into Fights()) whose opponent has text id `id` and
  // whose records span index `j`; -1 when none does.
  int FightOf(uint32_t id, size_t j) const;
  // The text id of fight `fight`'s opponent (DamageTable::kNoText when no
  // record names it).
  uint32_t OpponentId(size_t fight) const { return opponent_ids_[fight]; }
  // The fight a record whose dealer and taker have these ids belongs to, and
  // whether the opponent dealt it; -1 when the record names no opponent of
  // the union's fights within their records.
  struct Owner {
    int fight = -1;
    bool opponent_dealt = false;
  };
  Owner OwnerOf(size_t j) const;

  // The union seen from its opponents, as an event's record is: its damage
  // taken and dealt, hits and extremes over all fights; the first fight's name
  // and first record, the latest record; the duration counted over the time
  // any of the fights was active (ActiveSeconds). For one fight, that event.
  const EventRecord& Summary() const { return summary_; }
  // "first mob + N more" for several fights, the mob's name for one.
  std::string Caption() const;

 private:
  struct Candidates {
    std::vector<size_t> fights;  // indexes into fights_, by range start
    std::vector<size_t> reach;   // the largest range end of fights[0..k]
  };
  const ParsedLog& log_;
  std::vector<const EventRecord*> fights_;
  std::vector<int32_t> numbers_;
  std::vector<IndexRange> fight_ranges_;  // per fight
  std::vector<uint32_t> opponent_ids_;    // per fight
  std::vector<IndexRange> ranges_;        // merged
  std::unordered_map<uint32_t, Candidates> by_opponent_;
  EventRecord summary_;
};

// The caption of a page or report over `caption_name` (Caption()).
inline std::string UnionCaption(std::string_view first, size_t fights) {
  std::string caption(first);
  if (fights > 1) caption += " + " + std::to_string(fights - 1) + " more";
  return caption;
}

}  // namespace ombrel
