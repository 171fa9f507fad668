#include "analysis/SourceTable.h"

#include <string>
#include <unordered_map>

#include "analysis/EventRange.h"
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
  } else {
    CountMissOrAvoidance(row, r.Type);
  }
  ++row.SwingsDealt;
}

}  // namespace

std::vector<SourceRow> BuildSourceTable(const ParsedLog& log, int32_t event_number,
                                        const SourceQuery& query) {
  std::vector<SourceRow> rows;
  if (const EventRecord* event = log.FindEvent(event_number); event != nullptr) {
    const DamageTable& table = log.DamageTable();
    const std::string_view opponent = event->Name;
    const DateTime earliest_start = EarliestStart();
    // Keys view the damage table's texts or the verb table, both outliving the call.
    std::unordered_map<std::string_view, size_t> row_of;
    const IndexRange range = EventIndexes(table, *event);
    for (size_t j = range.begin; j < range.end; ++j) {
      const DamageRecord r = table[j];
      if (!IsSwing(r.Type) || !Takes(query, r, opponent)) continue;
      // "hit" and "hits" are one source.
      const std::string_view source = ThirdPersonForm(log.AttackVerbs(), r.Name);
      auto [it, added] = row_of.try_emplace(source, rows.size());
      if (added) {
        SourceRow row;
        row.Name = std::string(source);
        row.StartDate = r.Date;
        row.EndDate = r.Date;
        rows.push_back(std::move(row));
      }
      SourceRow& row = rows[it->second];
      if (row.StartDate > r.Date || row.StartDate < earliest_start) row.StartDate = r.Date;
      if (row.EndDate < r.Date) row.EndDate = r.Date;
      Count(r, row);
      // A row carries the mark of the latest record counted into it.
      row.HasPet = query.mark_pets && r.Dealer.find('`') != std::string_view::npos;
    }
  }
  if (rows.empty()) rows.emplace_back();
  for (SourceRow& row : rows) row.Duration = DurationSeconds(row.StartDate, row.EndDate);
  return rows;
}

}  // namespace ombrel
