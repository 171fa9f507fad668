#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "shared/EventRecord.h"
#include "shared/ParsedLog.h"

namespace ombrel {

// Whose records a per-source table takes; the taker is always the opponent.
enum class SourceDealers {
  kExactly,   // the dealer is the combatant itself
  kWithPets,  // the combatant, or a name that begins with it and a grave
              // accent: its pets and warders ("Ann`s pet", "Ann`s warder")
  kAnyone,    // every dealer: the whole party against the opponent
};

struct SourceQuery {
  std::string_view combatant;
  SourceDealers dealers = SourceDealers::kExactly;
  // Sets HasPet on a row whose latest counted record was dealt by a name with
  // a grave accent, the mark the game puts into pet and warder names.
  bool mark_pets = false;
};

// The attacks and spells with which the queried dealers acted on the opponent
// of event `event_number` (1-based events-list row), one row per source in the
// order of its first record; a base-form attack verb counts under its
// third-person form. Every source, the empty name included, gets a row of its
// own. When no record qualifies the table is one unnamed row of zeros.
std::vector<SourceRow> BuildSourceTable(const ParsedLog& log, int32_t event_number,
                                        const SourceQuery& query);

// The swings at the opponent of one event grouped by dealer in one walk of
// the event, so that the tables of all its combatants together cost about one
// walk rather than one walk each.
class EventSwingsByDealer {
 public:
  // `log` must outlive the grouping.
  EventSwingsByDealer(const ParsedLog& log, int32_t event_number);

  // The same rows as BuildSourceTable for a query of SourceDealers::kWithPets.
  std::vector<SourceRow> WithPets(const SourceQuery& query) const;

 private:
  struct Dealer {
    std::string_view name;
    std::vector<size_t> records;  // DamageTable indexes, ascending
  };
  const ParsedLog& log_;
  std::string_view opponent_;
  std::vector<Dealer> dealers_;  // in name order
};

}  // namespace ombrel
