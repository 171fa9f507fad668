#include "report/CombatantDetailRows.h"

#include <vector>

#include "analysis/CombatantDetail.h"
#include "analysis/Rates.h"
#include "report/HtmlEscape.h"
#include "report/Reports.h"
#include "shared/Display.h"
#include "shared/ListColumns.h"

namespace ombrel {
namespace {

// One source as a row under the event-detail list's columns.
void AppendRow(std::string& out, const SourceRow& row, int64_t event_duration, bool crits) {
  using Column = EventDetailColumn;
  // Durations are at least 1; a row of zeros shows 1 as well.
  const int64_t duration = row.Duration < 1 ? 1 : row.Duration;
  const int64_t avoided = Avoidances(row);

  ListRow<Column> cells;
  cells[Column::kDamageBy] = row.HasPet ? std::string(kPetSourcePrefix) + row.Name : row.Name;
  cells[Column::kDmgDealt] = display::Grouped(row.DamageDealt);
  cells[Column::kDuration] = display::Plain(duration);
  cells[Column::kDPSDealt] = display::Fixed2NoLeadingZero(PerSecond(row.DamageDealt, duration));
  cells[Column::kADPSDealt] =
      display::Fixed2NoLeadingZero(PerSecond(row.DamageDealt, event_duration));
  cells[Column::kStart] = display::TimeText(row.StartDate);
  cells[Column::kEnd] = display::TimeText(row.EndDate);
  // The taken side is not part of an attack's breakdown.
  for (const Column taken : {Column::kMaxHitTaken, Column::kMinHitTaken, Column::kHitsTaken,
                             Column::kDmgTaken, Column::kDPSTaken, Column::kSwingsTaken}) {
    cells[taken] = "-";
  }
  cells[Column::kMaxHitDealt] = display::Plain(row.MaxHitDealt);
  cells[Column::kMinHitDealt] = display::Plain(row.MinHitDealt);
  cells[Column::kHitsDealt] = display::Plain(row.HitsDealt);
  cells[Column::kMisses] = display::Plain(row.Misses);
  cells[Column::kParries] = display::Plain(row.Parries);
  cells[Column::kDodges] = display::Plain(row.Dodges);
  cells[Column::kRipostes] = display::Plain(row.Ripostes);
  cells[Column::kBlocks] = display::Plain(row.Blocks);
  cells[Column::kSwingsDealt] = display::Plain(row.SwingsDealt);
  cells[Column::kAccuracy] = PercentOf(int64_t{row.SwingsDealt} - row.Misses, row.SwingsDealt);
  cells[Column::kEvasion] = PercentOf(avoided, row.Misses);
  cells[Column::kDefense] = PercentOf(avoided, row.SwingsDealt);
  if (crits) {
    cells[Column::kCrits] = display::Plain(row.CritsDealt);
    cells[Column::kCritRate] = PercentOf(row.CritsDealt, row.HitsDealt);
  }

  std::vector<std::string> texts = std::move(cells).Take();
  texts.resize(ColumnCount<Column>(crits ? LineRules::kExtended : LineRules::kDefault));
  out += "<tr>";
  for (const std::string& cell : texts) {
    out += "<td>";
    AppendHtmlEscaped(out, cell);
    out += "</td>";
  }
  out += "</tr>";
}

}  // namespace

std::string RenderCombatantDetailRows(std::span<const SourceRow> rows, int64_t event_duration,
                                      bool crits) {
  std::string out;
  if (rows.empty()) {
    AppendRow(out, SourceRow{}, event_duration, crits);
    return out;
  }
  out.reserve(rows.size() * 400);
  for (const SourceRow& row : rows) AppendRow(out, row, event_duration, crits);
  return out;
}

std::string CombatantDetailRows(const ParsedLog& log, const FightSelection& fights,
                                std::string_view combatant_name, bool include_pets) {
  const FightUnion in(log, fights);
  if (in.empty()) return RenderCombatantDetailRows({}, 1, log.Rules() == LineRules::kExtended);
  // The walk is the combatant detail's own; only the rendering is done here.
  return RenderCombatantDetailRows(
      CombatantReportSources(log, fights, combatant_name, include_pets), in.Summary().Duration,
      log.Rules() == LineRules::kExtended);
}

}  // namespace ombrel
