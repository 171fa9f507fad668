#pragma once

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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
};

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

// An empty list with the columns of `Column`.
template <typename Column>
TextTable EmptyList() {
  return TextTable(At(Column::kCount));
}

// The text of a named cell.
template <typename Column>
const std::string& CellAt(const TextTable& list, size_t row, Column column) {
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
