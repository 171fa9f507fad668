#include "analysis/SourceTable.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "analysis/EventRange.h"
#include "analysis/RowSpans.h"
#include "analysis/SwingOutcome.h"
#include "shared/AttackVerbs.h"
#include "shared/DateTime.h"

namespace ombrel {
namespace {

// Hits and every kind of swing that failed; casts are not swings.
bool IsSwing(int32_t type) {
  return IsDamageType(type) || (type >= kMiss && type <= kBlock);
}

bool IsPetOf(std::string_view dealer, std::string_view owner) {
  return dealer.size() > owner.size() && dealer.starts_with(owner) && dealer[owner.size()] == '`';
}

bool Takes(const SourceQuery& q, const DamageRecord& r, std::string_view opponent) {
  if (r.Taker != opponent) return false;
  switch (q.dealers) {
    case SourceDealers::kExactly:
      return r.Dealer == q.combatant;
    case SourceDealers::kWithPets:
      // An opponent named like the combatant must not count its own swings.
      if (r.Taker == q.combatant && r.Dealer == opponent) return false;
      return r.Dealer == q.combatant || IsPetOf(r.Dealer, q.combatant);
    case SourceDealers::kAnyone:
      return true;
  }
  return false;
}

// A start before this is taken as unset and replaced by the record's date.
DateTime EarliestStart() {
  static const DateTime kStart = DateTime::FromCivil({1995, 1, 1, 0, 0, 0}).value();
  return kStart;
}

void Count(const DamageRecord& r, SourceRow& row) {
  row.DamageDealt += r.Damage;
  if (IsDamageType(r.Type)) {
    // Here a 0-damage hit lowers the minimum too, unlike the combatant summary.
    if (row.HitsDealt == 0) {
      row.MaxHitDealt = r.Damage;
      row.MinHitDealt = r.Damage;
    } else {
      if (r.Damage > row.MaxHitDealt) row.MaxHitDealt = r.Damage;
      if (r.Damage < row.MinHitDealt) row.MinHitDealt = r.Damage;
    }
    ++row.HitsDealt;
    if (IsCriticalHit(r)) ++row.CritsDealt;
  } else {
    CountMissOrAvoidance(row, r.Type);
  }
  ++row.SwingsDealt;
}

// Gathers the rows of a table as records are counted into it, in record order.
class RowGatherer {
 public:
  RowGatherer(const FightUnion& fights, const SourceQuery& query)
      : verbs_(fights.Log().AttackVerbs()), query_(query), spans_(fights.Fights().size() > 1) {}

  void Add(const DamageRecord& r, size_t fight) {
    // "hit" and "hits" are one source.
    const std::string_view source = ThirdPersonForm(verbs_, r.Name);
    auto [it, added] = row_of_.try_emplace(source, rows_.size());
    if (added) {
      SourceRow row;
      row.Name = std::string(source);
      row.StartDate = r.Date;
      row.EndDate = r.Date;
      rows_.push_back(std::move(row));
    }
    SourceRow& row = rows_[it->second];
    if (row.StartDate > r.Date || row.StartDate < earliest_start_) row.StartDate = r.Date;
    if (row.EndDate < r.Date) row.EndDate = r.Date;
    Count(r, row);
    spans_.Note(it->second, fight, r.Date);
    // A row carries the mark of the latest record counted into it.
    row.HasPet = query_.mark_pets && r.Dealer.find('`') != std::string_view::npos;
  }

  std::vector<SourceRow> Finish() && {
    if (rows_.empty()) rows_.emplace_back();
    for (size_t i = 0; i < rows_.size(); ++i) rows_[i].Duration = spans_.Duration(i, rows_[i]);
    return std::move(rows_);
  }

 private:
  AttackVerbList verbs_;
  const SourceQuery& query_;
  const DateTime earliest_start_ = EarliestStart();
  std::vector<SourceRow> rows_;
  RowSpans spans_;
  // Keys view the damage table's texts or the verb table, both outliving the gatherer.
  std::unordered_map<std::string_view, size_t> row_of_;
};

}  // namespace

std::vector<SourceRow> BuildSourceTable(const ParsedLog& log, const FightSelection& fights,
                                        const SourceQuery& query) {
  return BuildSourceTable(FightUnion(log, fights), query);
}

namespace {

// Calls visit(index, record, fight) for each swing of the union, in table
// order, with the fight among the union's that it belongs to.
template <class Visit>
void ForEachSwing(const FightUnion& fights, Visit&& visit) {
  const DamageTable& table = fights.Log().DamageTable();
  for (const IndexRange& range : fights.Ranges()) {
    for (size_t j = range.begin; j < range.end; ++j) {
      const DamageRecord r = table[j];
      if (!IsSwing(r.Type)) continue;
      const int fight = fights.FightOf(table.TakerId(j), j);
      if (fight >= 0) visit(j, r, static_cast<size_t>(fight));
    }
  }
}

}  // namespace

std::vector<SourceRow> BuildSourceTable(const FightUnion& fights, const SourceQuery& query) {
  RowGatherer rows(fights, query);
  ForEachSwing(fights, [&](size_t, const DamageRecord& r, size_t fight) {
    if (Takes(query, r, fights.Fights()[fight]->Name)) rows.Add(r, fight);
  });
  return std::move(rows).Finish();
}

EventSwingsByDealer::EventSwingsByDealer(const FightUnion& fights) : fights_(fights) {
  std::unordered_map<std::string_view, size_t> dealer_of;
  ForEachSwing(fights, [&](size_t j, const DamageRecord& r, size_t fight) {
    auto [it, added] = dealer_of.try_emplace(r.Dealer, dealers_.size());
    if (added) dealers_.push_back({r.Dealer, {}});
    dealers_[it->second].records.push_back({j, fight});
  });
  std::sort(dealers_.begin(), dealers_.end(),
            [](const Dealer& a, const Dealer& b) { return a.name < b.name; });
}

std::vector<SourceRow> EventSwingsByDealer::WithPets(const SourceQuery& query) const {
  const std::string_view combatant = query.combatant;
  const DamageTable& table = fights_.Log().DamageTable();
  auto by_name = [](const Dealer& d, std::string_view name) { return d.name < name; };
  std::vector<Swing> records;
  auto it = std::lower_bound(dealers_.begin(), dealers_.end(), combatant, by_name);
  if (it != dealers_.end() && it->name == combatant) {
    // An opponent named like the combatant must not count its own swings.
    for (const Swing& s : it->records) {
      if (table.DealerId(s.index) != fights_.OpponentId(s.fight)) records.push_back(s);
    }
  }
  // Pets and warders: the names that begin with the combatant and a grave
  // accent, next to each other in name order.
  const std::string pet_prefix = std::string(combatant) + '`';
  for (it = std::lower_bound(it, dealers_.end(), pet_prefix, by_name);
       it != dealers_.end() && it->name.starts_with(pet_prefix); ++it) {
    records.insert(records.end(), it->records.begin(), it->records.end());
  }
  std::sort(records.begin(), records.end());
  RowGatherer rows(fights_, query);
  for (const Swing& s : records) rows.Add(table[s.index], s.fight);
  return std::move(rows).Finish();
}

}  // namespace ombrel
