#include "report/CombatantDetailRows.h"

#include "analysis/CombatantDetail.h"
#include "analysis/Rates.h"
#include "report/HtmlEscape.h"
#include "report/Reports.h"
#include "shared/Display.h"

namespace ombrel {
namespace {

void AppendCell(std::string& out, std::string_view value) {
  out += "<td>";
  AppendHtmlEscaped(out, value);
  out += "</td>";
}

void AppendRow(std::string& out, const SourceRow& row, int64_t event_duration) {
  // Durations are at least 1; a row of zeros shows 1 as well.
  const int64_t duration = row.Duration < 1 ? 1 : row.Duration;
  const int64_t avoided = Avoidances(row);

  out += "<tr>";
  AppendCell(out, row.HasPet ? std::string(kPetSourcePrefix) + row.Name : row.Name);
  AppendCell(out, display::Grouped(row.DamageDealt));
  AppendCell(out, display::Plain(duration));
  AppendCell(out, display::Fixed2NoLeadingZero(PerSecond(row.DamageDealt, duration)));
  AppendCell(out, display::Fixed2NoLeadingZero(PerSecond(row.DamageDealt, event_duration)));
  AppendCell(out, display::TimeText(row.StartDate));
  AppendCell(out, display::TimeText(row.EndDate));
  // The taken side is not part of an attack's breakdown.
  AppendCell(out, "-");
  AppendCell(out, "-");
  AppendCell(out, "-");
  AppendCell(out, display::Plain(row.MaxHitDealt));
  AppendCell(out, display::Plain(row.MinHitDealt));
  AppendCell(out, display::Plain(row.HitsDealt));
  AppendCell(out, "-");
  AppendCell(out, "-");
  AppendCell(out, display::Plain(row.Misses));
  AppendCell(out, display::Plain(row.Parries));
  AppendCell(out, display::Plain(row.Dodges));
  AppendCell(out, display::Plain(row.Ripostes));
  AppendCell(out, display::Plain(row.Blocks));
  AppendCell(out, "-");
  AppendCell(out, display::Plain(row.SwingsDealt));
  AppendCell(out, PercentOf(row.SwingsDealt - row.Misses, row.SwingsDealt));
  AppendCell(out, PercentOf(avoided, row.Misses));
  AppendCell(out, PercentOf(avoided, row.SwingsDealt));
  out += "</tr>";
}

}  // namespace

std::string RenderCombatantDetailRows(std::span<const SourceRow> rows, int64_t event_duration) {
  std::string out;
  if (rows.empty()) {
    AppendRow(out, SourceRow{}, event_duration);
    return out;
  }
  out.reserve(rows.size() * 400);
  for (const SourceRow& row : rows) AppendRow(out, row, event_duration);
  return out;
}

std::string CombatantDetailRows(const ParsedLog& log, int32_t event_number,
                                std::string_view combatant_name, bool include_pets) {
  const EventRecord* event = log.FindEvent(event_number);
  if (event == nullptr) return RenderCombatantDetailRows({}, 1);
  // The walk is the combatant detail's own; only the rendering is done here.
  return RenderCombatantDetailRows(
      CombatantReportSources(log, event_number, combatant_name, include_pets), event->Duration);
}

}  // namespace ombrel
