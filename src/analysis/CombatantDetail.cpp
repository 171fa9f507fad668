#include "analysis/CombatantDetail.h"

#include <memory>
#include <string>

#include "analysis/EventDetail.h"
#include "analysis/Rates.h"
#include "analysis/SourceTable.h"
#include "shared/Csv.h"
#include "shared/Display.h"
#include "shared/ListColumns.h"

namespace ombrel {
namespace {

// The event-detail row "Ann + pet" stands for Ann with her pets and warders,
// marked as theirs only when pets were merged into her row.
SourceQuery ReportQuery(std::string_view text, bool include_pets) {
  SourceQuery query;
  query.dealers = SourceDealers::kWithPets;
  query.combatant = text;
  if (text.find(kPetSuffix) != std::string_view::npos) {
    query.combatant.remove_suffix(kPetSuffix.size());
    query.mark_pets = include_pets;
  }
  return query;
}

SourceQuery PartyQuery() {
  SourceQuery query;
  query.dealers = SourceDealers::kAnyone;
  return query;
}

std::string ShownName(const SourceRow& row) {
  return row.HasPet ? std::string(kPetSourcePrefix) + row.Name : row.Name;
}

}  // namespace

std::vector<SourceRow> BuildCombatantDetail(const ParsedLog& log, const FightSelection& fights,
                                            std::string_view combatant_text, bool include_pets) {
  const FightUnion in(log, fights);
  if (combatant_text == kTotalRowName) return BuildSourceTable(in, PartyQuery());
  if (combatant_text.find(kPetSuffix) != std::string_view::npos)
    return BuildSourceTable(in, ReportQuery(combatant_text, include_pets));
  SourceQuery query;
  query.combatant = combatant_text;
  return BuildSourceTable(in, query);
}

std::vector<SourceRow> CombatantReportSources(const ParsedLog& log, const FightSelection& fights,
                                              std::string_view combatant_text, bool include_pets) {
  return EventReportSources(log, fights, include_pets).For(combatant_text);
}

EventReportSources::EventReportSources(const ParsedLog& log, const FightSelection& fights,
                                       bool include_pets)
    : fights_(log, fights), include_pets_(include_pets), swings_(fights_) {}

std::vector<SourceRow> EventReportSources::For(std::string_view combatant_text) const {
  if (combatant_text == kTotalRowName) return BuildSourceTable(fights_, PartyQuery());
  return swings_.WithPets(ReportQuery(combatant_text, include_pets_));
}

std::string CombatantDetailListCell(const SourceRow& row, int64_t event_duration,
                                    CombatantDetailColumn column) {
  using Column = CombatantDetailColumn;
  switch (column) {
    case Column::kDamageSource:
      return ShownName(row);
    case Column::kDamage:
      return display::Grouped(row.DamageDealt);
    case Column::kDPSDealt:
      return display::Fixed2NoLeadingZero(PerSecond(row.DamageDealt, row.Duration));
    case Column::kADPSDealt:
      return display::Fixed2NoLeadingZero(PerSecond(row.DamageDealt, event_duration));
    case Column::kMaxHitDealt:
      return display::Plain(row.MaxHitDealt);
    case Column::kMinHitDealt:
      return display::Plain(row.MinHitDealt);
    case Column::kHitsDealt:
      return display::Plain(row.HitsDealt);
    case Column::kSwingsDealt:
      return display::Plain(row.SwingsDealt);
    case Column::kMisses:
      return display::Plain(row.Misses);
    case Column::kParries:
      return display::Plain(row.Parries);
    case Column::kDodges:
      return display::Plain(row.Dodges);
    case Column::kRipostes:
      return display::Plain(row.Ripostes);
    case Column::kBlocks:
      return display::Plain(row.Blocks);
    case Column::kAccuracy:
      return PercentOf(int64_t{row.SwingsDealt} - row.Misses, row.SwingsDealt);
    case Column::kEvasion:
      return PercentOf(Avoidances(row), row.Misses);
    case Column::kDefense:
      return PercentOf(Avoidances(row), row.SwingsDealt);
    case Column::kCrits:
      return display::Plain(row.CritsDealt);
    case Column::kCritRate:
      return PercentOf(row.CritsDealt, row.HitsDealt);
    case Column::kCount:
      break;
  }
  return {};
}

TextTable CombatantDetailListRows(const std::vector<SourceRow>& rows, int64_t event_duration,
                                  LineRules rules) {
  using Column = CombatantDetailColumn;
  if (rows.empty()) return EmptyList<Column>(rules);
  auto held = std::make_shared<const std::vector<SourceRow>>(rows);
  return TextTable(ColumnCount<Column>(rules), rows.size(),
                   [held = std::move(held), event_duration](size_t row, size_t column) {
                     return CombatantDetailListCell((*held)[row], event_duration,
                                                    static_cast<Column>(column));
                   });
}

TextTable CombatantDetailListTexts(const std::vector<SourceRow>& rows, int64_t event_duration,
                                   LineRules rules) {
  using Column = CombatantDetailColumn;
  TextTable list = EmptyList<Column>(rules);
  const bool crits = rules == LineRules::kExtended;
  list.Reserve(rows.size());
  for (const SourceRow& row : rows) {
    const int64_t avoided = Avoidances(row);
    ListRow<Column> cells;
    cells[Column::kDamageSource] = ShownName(row);
    cells[Column::kDamage] = display::Grouped(row.DamageDealt);
    cells[Column::kDPSDealt] =
        display::Fixed2NoLeadingZero(PerSecond(row.DamageDealt, row.Duration));
    cells[Column::kADPSDealt] =
        display::Fixed2NoLeadingZero(PerSecond(row.DamageDealt, event_duration));
    cells[Column::kMaxHitDealt] = display::Plain(row.MaxHitDealt);
    cells[Column::kMinHitDealt] = display::Plain(row.MinHitDealt);
    cells[Column::kHitsDealt] = display::Plain(row.HitsDealt);
    cells[Column::kSwingsDealt] = display::Plain(row.SwingsDealt);
    cells[Column::kMisses] = display::Plain(row.Misses);
    cells[Column::kParries] = display::Plain(row.Parries);
    cells[Column::kDodges] = display::Plain(row.Dodges);
    cells[Column::kRipostes] = display::Plain(row.Ripostes);
    cells[Column::kBlocks] = display::Plain(row.Blocks);
    cells[Column::kAccuracy] = PercentOf(int64_t{row.SwingsDealt} - row.Misses, row.SwingsDealt);
    cells[Column::kEvasion] = PercentOf(avoided, row.Misses);
    cells[Column::kDefense] = PercentOf(avoided, row.SwingsDealt);
    if (crits) {
      cells[Column::kCrits] = display::Plain(row.CritsDealt);
      cells[Column::kCritRate] = PercentOf(row.CritsDealt, row.HitsDealt);
    }
    list.AddRow(std::move(cells).Take());
  }
  return list;
}

void WritePcDetailCsv(std::ostream& out, const std::vector<SourceRow>& rows, LineRules rules) {
  CsvWriter csv(out);
  constexpr std::string_view kHeader =
      "Source,Dmg,Hits,Swings,MaxHit,MinHit,Misses,Parries,Dodges,Ripostes,Blocks";
  const bool crits = rules == LineRules::kExtended;
  csv.Header(crits ? std::string(kHeader) + ",Crits,Crit Rate" : std::string(kHeader));
  for (const SourceRow& row : rows) {
    csv.Field(ShownName(row))
        .Field(row.DamageDealt)
        .Field(row.HitsDealt)
        .Field(row.SwingsDealt)
        .Field(row.MaxHitDealt)
        .Field(row.MinHitDealt)
        .Field(row.Misses)
        .Field(row.Parries)
        .Field(row.Dodges)
        .Field(row.Ripostes)
        .Field(row.Blocks);
    if (crits) csv.Field(row.CritsDealt).Field(PercentOf(row.CritsDealt, row.HitsDealt));
    csv.EndLine();
  }
}

}  // namespace ombrel
