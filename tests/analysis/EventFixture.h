#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shared/DamageRecord.h"
#include "shared/DamageTable.h"
#include "shared/DateTime.h"
#include "shared/EventRecord.h"
#include "shared/ListColumns.h"
#include "shared/ParsedLog.h"
#include "shared/TextTable.h"

namespace ombrel::testing {

// 01/02/2006 20:00:00 plus `seconds`.
inline DateTime At(int seconds) {
  return DateTime{DateTime::FromCivil({2006, 1, 2, 20, 0, 0})->seconds + seconds};
}

inline DamageRecord Rec(int seconds, std::string_view dealer, std::string_view taker,
                        int32_t damage, int32_t type, std::string_view name = "hits") {
  return {At(seconds), dealer, taker, damage, 0, type, name, 0};
}

// The event against `opponent` spanning all of `records`, its sums and
// extremes counted over the damage records as events are.
inline EventRecord EventOver(const std::vector<DamageRecord>& records, std::string_view opponent) {
  EventRecord e;
  e.Name = std::string(opponent);
  e.EndCounter = static_cast<int64_t>(records.size()) - 1;
  e.StartDate = records.front().Date;
  e.EndDate = records.back().Date;
  e.Duration = DurationSeconds(e.StartDate, e.EndDate);
  for (const DamageRecord& r : records) {
    const bool dealt = r.Dealer == opponent;
    if (!IsDamageType(r.Type) || (!dealt && r.Taker != opponent)) continue;
    uint32_t& hits = dealt ? e.HitsDealt : e.HitsTaken;
    int32_t& max = dealt ? e.MaxHitDealt : e.MaxHitTaken;
    int32_t& min = dealt ? e.MinHitDealt : e.MinHitTaken;
    (dealt ? e.DamageDealt : e.DamageTaken) += r.Damage;
    if (hits == 0 || r.Damage > max) max = r.Damage;
    if (hits == 0 || r.Damage < min) min = r.Damage;
    ++hits;
  }
  return e;
}

// A parsed log of `records` with `events` and no mob.
inline ParsedLog LogOf(const std::vector<DamageRecord>& records, std::vector<EventRecord> events) {
  return ParsedLog(DamageTable::FromRecords(records), {}, std::move(events));
}

// A parsed log of `records` and the one event against `opponent` over them.
inline ParsedLog OneEvent(const std::vector<DamageRecord>& records, std::string_view opponent) {
  return LogOf(records, {EventOver(records, opponent)});
}

// The cells of one list row joined by "|", or its first column down the rows.
inline std::string Joined(const TextTable& list, size_t row) {
  std::string out;
  for (size_t c = 0; c < list.Columns(); ++c) out += (c == 0 ? "" : "|") + list.Cell(row, c);
  return out;
}
inline std::string FirstColumn(const TextTable& list) {
  std::string out;
  for (size_t r = 0; r < list.Rows(); ++r)
    out += (r == 0 ? "" : "|") + CellAt(list, r, EventDetailColumn::kDamageBy);
  return out;
}

}  // namespace ombrel::testing
