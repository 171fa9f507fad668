#pragma once

#include <array>
#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shared/LineRules.h"
#include "shared/TextTable.h"

namespace ombrel {

// The columns of the three lists, each named once here: an enum per list and
// one description per list (header text, width in twips, alignment), in
// column order. Everything else addresses a column by its name.

enum class Align { kLeft, kRight };

struct ListColumn {
  size_t position;  // the column's enum value, checked against its place below
  std::string_view header;
  int width_twips;
  Align align;
};

// The position of a named column.
template <typename Column>
constexpr size_t At(Column column) {
  return static_cast<size_t>(column);
}

enum class EventsColumn : size_t {
  kMob,
  kDmgTaken,
  kDmgDealt,
  kDuration,
  kDPSTaken,
  kDPSDealt,
  kStart,
  kEnd,
  kMaxHitTaken,
  kMinHitTaken,
  kHitsTaken,
  kAveHitTaken,
  kMaxHitDealt,
  kMinHitDealt,
  kHitsDealt,
  kAveHitDealt,
  kCount
};

enum class EventDetailColumn : size_t {
  kDamageBy,
  kDmgDealt,
  kDuration,
  kDPSDealt,
  kADPSDealt,
  kStart,
  kEnd,
  kMaxHitTaken,
  kMinHitTaken,
  kHitsTaken,
  kMaxHitDealt,
  kMinHitDealt,
  kHitsDealt,
  kDmgTaken,
  kDPSTaken,
  kMisses,
  kParries,
  kDodges,
  kRipostes,
  kBlocks,
  kSwingsTaken,
  kSwingsDealt,
  kAccuracy,
  kEvasion,
  kDefense,
  kCrits,  // the extended rules' columns from here on
  kCritRate,
  kCount
};

enum class CombatantDetailColumn : size_t {
  kDamageSource,
  kDamage,
  kDPSDealt,
  kADPSDealt,
  kMaxHitDealt,
  kMinHitDealt,
  kHitsDealt,
  kSwingsDealt,
  kMisses,
  kParries,
  kDodges,
  kRipostes,
  kBlocks,
  kAccuracy,
  kEvasion,
  kDefense,
  kCrits,  // the extended rules' columns from here on
  kCritRate,
  kCount
};

// The lists of the Deaths and Healing pages (extended rules).
enum class DeathsColumn : size_t { kTime, kVictim, kKiller, kDamageTaken, kCount };

enum class RecapColumn : size_t {
  kSecondsBefore,
  kSource,
  kAttack,
  kDamage,
  kCrit,
  kAvoided,
  kHealed,
  kTotalTaken,
  kKillingBlow,
  kCount
};

// The healers, and the selected healer's healing by target and by spell.
enum class HealingColumn : size_t {
  kName,
  kHealed,
  kFull,
  kOverHealed,
  kHeals,
  kCritHeals,
  kHPS,
  kCount
};

namespace list_columns {
using E = EventsColumn;
using D = EventDetailColumn;
using C = CombatantDetailColumn;
constexpr Align L = Align::kLeft;
constexpr Align R = Align::kRight;
}  // namespace list_columns

inline constexpr ListColumn kEventsColumns[] = {
    {At(list_columns::E::kMob), "Mob", 2200, list_columns::L},
    {At(list_columns::E::kDmgTaken), "DmgTaken", 1000, list_columns::L},
    {At(list_columns::E::kDmgDealt), "DmgDealt", 1000, list_columns::L},
    {At(list_columns::E::kDuration), "Duration", 1000, list_columns::L},
    {At(list_columns::E::kDPSTaken), "DPSTaken", 1000, list_columns::L},
    {At(list_columns::E::kDPSDealt), "DPSDealt", 1000, list_columns::L},
    {At(list_columns::E::kStart), "Start", 2000, list_columns::L},
    {At(list_columns::E::kEnd), "End", 2000, list_columns::L},
    {At(list_columns::E::kMaxHitTaken), "Max Hit Taken", 1250, list_columns::L},
    {At(list_columns::E::kMinHitTaken), "Min Hit Taken", 1250, list_columns::L},
    {At(list_columns::E::kHitsTaken), "Hits Taken", 1250, list_columns::L},
    {At(list_columns::E::kAveHitTaken), "Ave Hit Taken", 1250, list_columns::L},
    {At(list_columns::E::kMaxHitDealt), "Max Hit Dealt", 1250, list_columns::L},
    {At(list_columns::E::kMinHitDealt), "Min Hit Dealt", 1250, list_columns::L},
    {At(list_columns::E::kHitsDealt), "Hits Dealt", 1250, list_columns::L},
    {At(list_columns::E::kAveHitDealt), "Ave Hit Dealt", 1250, list_columns::L},
};

inline constexpr ListColumn kEventDetailColumns[] = {
    {At(list_columns::D::kDamageBy), "DamageBy", 2200, list_columns::L},
    {At(list_columns::D::kDmgDealt), "Dmg Dealt", 1000, list_columns::R},
    {At(list_columns::D::kDuration), "Duration", 1000, list_columns::R},
    {At(list_columns::D::kDPSDealt), "DPSDealt", 1000, list_columns::R},
    {At(list_columns::D::kADPSDealt), "ADPSDealt", 1000, list_columns::R},
    {At(list_columns::D::kStart), "Start", 2000, list_columns::R},
    {At(list_columns::D::kEnd), "End", 2000, list_columns::R},
    {At(list_columns::D::kMaxHitTaken), "Max Hit Taken", 1250, list_columns::R},
    {At(list_columns::D::kMinHitTaken), "Min Hit Taken", 1250, list_columns::R},
    {At(list_columns::D::kHitsTaken), "Hits Taken", 1250, list_columns::R},
    {At(list_columns::D::kMaxHitDealt), "Max Hit Dealt", 1250, list_columns::R},
    {At(list_columns::D::kMinHitDealt), "Min Hit Dealt", 1250, list_columns::R},
    {At(list_columns::D::kHitsDealt), "Hits Dealt", 1250, list_columns::R},
    {At(list_columns::D::kDmgTaken), "Dmg Taken", 1250, list_columns::R},
    {At(list_columns::D::kDPSTaken), "DPS Taken", 1250, list_columns::R},
    {At(list_columns::D::kMisses), "Misses", 1250, list_columns::R},
    {At(list_columns::D::kParries), "Parries", 1250, list_columns::R},
    {At(list_columns::D::kDodges), "Dodges", 1250, list_columns::R},
    {At(list_columns::D::kRipostes), "Ripostes", 1250, list_columns::R},
    {At(list_columns::D::kBlocks), "Blocks", 1250, list_columns::R},
    {At(list_columns::D::kSwingsTaken), "Swings Taken", 1250, list_columns::R},
    {At(list_columns::D::kSwingsDealt), "Swings Dealt", 1250, list_columns::R},
    {At(list_columns::D::kAccuracy), "Accuracy", 1250, list_columns::R},
    {At(list_columns::D::kEvasion), "Evasion", 1250, list_columns::R},
    {At(list_columns::D::kDefense), "Defense", 1250, list_columns::R},
    {At(list_columns::D::kCrits), "Crits", 1000, list_columns::R},
    {At(list_columns::D::kCritRate), "Crit Rate", 1000, list_columns::R},
};

inline constexpr ListColumn kCombatantDetailColumns[] = {
    {At(list_columns::C::kDamageSource), "Damage Source", 2200, list_columns::L},
    {At(list_columns::C::kDamage), "Damage", 1000, list_columns::R},
    {At(list_columns::C::kDPSDealt), "DPSDealt", 1000, list_columns::R},
    {At(list_columns::C::kADPSDealt), "ADPSDealt", 1000, list_columns::R},
    {At(list_columns::C::kMaxHitDealt), "Max Hit Dealt", 1250, list_columns::R},
    {At(list_columns::C::kMinHitDealt), "Min Hit Dealt", 1250, list_columns::R},
    {At(list_columns::C::kHitsDealt), "Hits Dealt", 1250, list_columns::R},
    {At(list_columns::C::kSwingsDealt), "Swings Dealt", 1250, list_columns::R},
    {At(list_columns::C::kMisses), "Misses", 1250, list_columns::R},
    {At(list_columns::C::kParries), "Parries", 1250, list_columns::R},
    {At(list_columns::C::kDodges), "Dodges", 1250, list_columns::R},
    {At(list_columns::C::kRipostes), "Ripostes", 1250, list_columns::R},
    {At(list_columns::C::kBlocks), "Blocks", 1250, list_columns::R},
    {At(list_columns::C::kAccuracy), "Accuracy", 1250, list_columns::R},
    {At(list_columns::C::kEvasion), "Evasion", 1250, list_columns::R},
    {At(list_columns::C::kDefense), "Defense", 1250, list_columns::R},
    {At(list_columns::C::kCrits), "Crits", 1000, list_columns::R},
    {At(list_columns::C::kCritRate), "Crit Rate", 1000, list_columns::R},
};

inline constexpr ListColumn kDeathsColumns[] = {
    {At(DeathsColumn::kTime), "Time", 2000, list_columns::L},
    {At(DeathsColumn::kVictim), "Died", 2200, list_columns::L},
    {At(DeathsColumn::kKiller), "Killed By", 2200, list_columns::L},
    {At(DeathsColumn::kDamageTaken), "Taken In 10 s", 1250, list_columns::R},
};

inline constexpr ListColumn kRecapColumns[] = {
    {At(RecapColumn::kSecondsBefore), "Seconds Before", 1500, list_columns::R},
    {At(RecapColumn::kSource), "Source", 2200, list_columns::L},
    {At(RecapColumn::kAttack), "Attack or Spell", 2000, list_columns::L},
    {At(RecapColumn::kDamage), "Damage", 1000, list_columns::R},
    {At(RecapColumn::kCrit), "Crit", 600, list_columns::L},
    {At(RecapColumn::kAvoided), "Avoided", 1000, list_columns::L},
    {At(RecapColumn::kHealed), "Healed", 1000, list_columns::R},
    {At(RecapColumn::kTotalTaken), "Total Taken", 1250, list_columns::R},
    {At(RecapColumn::kKillingBlow), "Killing Blow", 1250, list_columns::L},
};

// The three healing lists differ in their first header only.
constexpr std::array<ListColumn, At(HealingColumn::kCount)> HealingColumns(std::string_view first) {
  using H = HealingColumn;
  return {{{At(H::kName), first, 2200, list_columns::L},
           {At(H::kHealed), "Healed", 1000, list_columns::R},
           {At(H::kFull), "Full", 1000, list_columns::R},
           {At(H::kOverHealed), "Over", 1000, list_columns::R},
           {At(H::kHeals), "Heals", 1000, list_columns::R},
           {At(H::kCritHeals), "Crit Heals", 1000, list_columns::R},
           {At(H::kHPS), "HPS", 1000, list_columns::R}}};
}
inline constexpr auto kHealersColumns = HealingColumns("Healer");
inline constexpr auto kHealedTargetsColumns = HealingColumns("Target");
inline constexpr auto kHealingSpellsColumns = HealingColumns("Spell");

// Each description covers its enum, every column at its own place.
template <size_t N>
constexpr bool InColumnOrder(const ListColumn (&columns)[N]) {
  for (size_t i = 0; i < N; ++i)
    if (columns[i].position != i) return false;
  return true;
}
static_assert(std::size(kEventsColumns) == At(EventsColumn::kCount));
static_assert(std::size(kEventDetailColumns) == At(EventDetailColumn::kCount));
static_assert(std::size(kCombatantDetailColumns) == At(CombatantDetailColumn::kCount));
static_assert(InColumnOrder(kEventsColumns) && InColumnOrder(kEventDetailColumns) &&
              InColumnOrder(kCombatantDetailColumns));
static_assert(std::size(kDeathsColumns) == At(DeathsColumn::kCount) &&
              std::size(kRecapColumns) == At(RecapColumn::kCount));
static_assert(InColumnOrder(kDeathsColumns) && InColumnOrder(kRecapColumns));

// The extended rules show more columns than the default rules in some lists,
// after the columns both show: the first such column, or kCount where both
// show the same columns.
template <typename Column>
constexpr Column kFirstExtendedColumn = Column::kCount;
template <>
inline constexpr EventDetailColumn kFirstExtendedColumn<EventDetailColumn> =
    EventDetailColumn::kCrits;
template <>
inline constexpr CombatantDetailColumn kFirstExtendedColumn<CombatantDetailColumn> =
    CombatantDetailColumn::kCrits;

// How many columns of `Column` a list of a log read with `rules` shows.
template <typename Column>
constexpr size_t ColumnCount(LineRules rules) {
  return rules == LineRules::kExtended ? At(Column::kCount) : At(kFirstExtendedColumn<Column>);
}

// An empty list with the columns of `Column` that `rules` show.
template <typename Column>
TextTable EmptyList(LineRules rules = LineRules::kDefault) {
  return TextTable(ColumnCount<Column>(rules));
}

// The text of a named cell.
template <typename Column>
std::string CellAt(const TextTable& list, size_t row, Column column) {
  return list.Cell(row, At(column));
}

// One row of a list, filled by column name, then handed to TextTable::AddRow.
template <typename Column>
class ListRow {
 public:
  std::string& operator[](Column column) { return cells_[At(column)]; }
  std::vector<std::string> Take() && { return std::move(cells_); }

 private:
  std::vector<std::string> cells_ = std::vector<std::string>(At(Column::kCount));
};

}  // namespace ombrel
