#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "analysis/FightUnion.h"
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

// The attacks and spells with which the queried dealers acted on the opponents
// of the selected fights (1-based events-list rows), one row per source in the
// order of its first record; a base-form attack verb counts under its
// third-person form. Every source, the empty name included, gets a row of its
// own. When no record qualifies the table is one unnamed row of zeros. Over
// several fights a record counts for the fight of the opponent it is aimed at,
// and a source's duration is the time it was active, as a combatant's is in
// the event detail.
std::vector<SourceRow> BuildSourceTable(const FightUnion& fights, const SourceQuery& query);
std::vector<SourceRow> BuildSourceTable(const ParsedLog& log, const FightSelection& fights,
                                        const SourceQuery& query);

// The swings at the opponent of one event grouped by dealer in one walk of
// the event, so that the tables of all its combatants together cost about one
// walk rather than one walk each.
class EventSwingsByDealer {
 public:
  // `fights` and its log must outlive the grouping.
  explicit EventSwingsByDealer(const FightUnion& fights);

  // The same rows as BuildSourceTable for a query of SourceDealers::kWithPets.
  std::vector<SourceRow> WithPets(const SourceQuery& query) const;

 private:
  struct Swing {
    size_t index;  // into the DamageTable
    size_t fight;  // into the union's fights
    friend bool operator<(const Swing& a, const Swing& b) { return a.index < b.index; }
  };
  struct Dealer {
    std::string_view name;
    std::vector<Swing> records;  // by DamageTable index
  };
  const FightUnion& fights_;
  std::vector<Dealer> dealers_;  // in name order
};

}  // namespace ombrel
