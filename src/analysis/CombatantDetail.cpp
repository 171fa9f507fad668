#include "analysis/CombatantDetail.h"

#include <string>

#include "analysis/EventDetail.h"
#include "analysis/Rates.h"
#include "analysis/SourceTable.h"
#include "shared/Csv.h"
#include "shared/Display.h"

namespace ombrel {
namespace {

// The event-detail row "Ann + pet" stands for Ann with her pets and warders,
// marked as theirs only when pets were merged into her row.
SourceQuery ReportQuery(const Globals& g, std::string_view text) {
  SourceQuery query;
  query.dealers = SourceDealers::kWithPets;
  query.combatant = text;
  if (text.find(kPetSuffix) != std::string_view::npos) {
    query.combatant.remove_suffix(kPetSuffix.size());
    query.mark_pets = g.IncludePets;
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

std::vector<SourceRow> ShowCombatantDetail(const Globals& g, int32_t event_number,
                                           std::string_view combatant_text) {
  if (combatant_text == kTotalRowName) return BuildSourceTable(g, event_number, PartyQuery());
  if (combatant_text.find(kPetSuffix) != std::string_view::npos)
    return BuildSourceTable(g, event_number, ReportQuery(g, combatant_text));
  SourceQuery query;
  query.combatant = combatant_text;
  return BuildSourceTable(g, event_number, query);
}

std::vector<SourceRow> CombatantReportSources(const Globals& g, int32_t event_number,
                                              std::string_view combatant_text) {
  return EventReportSources(g, event_number).For(combatant_text);
}

EventReportSources::EventReportSources(const Globals& g, int32_t event_number)
    : g_(g), event_number_(event_number), swings_(g, event_number) {}

std::vector<SourceRow> EventReportSources::For(std::string_view combatant_text) const {
  if (combatant_text == kTotalRowName) return BuildSourceTable(g_, event_number_, PartyQuery());
  return swings_.WithPets(ReportQuery(g_, combatant_text));
}

TextTable CombatantDetailListRows(const std::vector<SourceRow>& rows, int64_t event_duration) {
  TextTable list(16);
  list.Reserve(rows.size());
  for (const SourceRow& row : rows) {
    const int64_t avoided = Avoidances(row);
    list.AddRow({
        ShownName(row),
        display::Grouped(row.DamageDealt),
        display::Fixed2NoLeadingZero(PerSecond(row.DamageDealt, row.Duration)),
        display::Fixed2NoLeadingZero(PerSecond(row.DamageDealt, event_duration)),
        display::Plain(row.MaxHitDealt),
        display::Plain(row.MinHitDealt),
        display::Plain(row.HitsDealt),
        display::Plain(row.SwingsDealt),
        display::Plain(row.Misses),
        display::Plain(row.Parries),
        display::Plain(row.Dodges),
        display::Plain(row.Ripostes),
        display::Plain(row.Blocks),
        PercentOf(row.SwingsDealt - row.Misses, row.SwingsDealt),
        PercentOf(avoided, row.Misses),
        PercentOf(avoided, row.SwingsDealt),
    });
  }
  return list;
}

void WritePcDetailCsv(std::ostream& out, const std::vector<SourceRow>& rows) {
  CsvWriter csv(out);
  csv.Header("Source,Dmg,Hits,Swings,MaxHit,MinHit,Misses,Parries,Dodges,Ripostes,Blocks");
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
    csv.EndLine();
  }
}

}  // namespace ombrel
