#include "app/LogPlaces.h"

#include <string>
#include <vector>

#include "analysis/CombatantDetail.h"
#include "analysis/EventRange.h"
#include "shared/ListColumns.h"

namespace ombrel {

std::optional<LineSpan> EventLines(const App& app, size_t row) {
  const EventRecord* event = app.Log().FindEvent(static_cast<int32_t>(row + 1));
  if (event == nullptr || event->Name.empty()) return std::nullopt;
  return FightLines(app.Log(), *event);
}

std::optional<int64_t> CombatantRowLine(const App& app, size_t row) {
  const TextTable& combatants = app.EventDetailList();
  if (row >= app.CombatantDetailList().Rows() || app.SelectedCombatant() >= combatants.Rows()) {
    return std::nullopt;
  }
  // The rows as the list was built: the selected fight and combatant.
  const FightSelection selection = app.SelectedFights();
  const std::string& combatant =
      CellAt(combatants, app.SelectedCombatant(), EventDetailColumn::kDamageBy);
  const std::vector<SourceRow> sources =
      BuildCombatantDetail(app.Log(), selection, combatant, app.settings().IncludePets);
  const FightUnion fights(app.Log(), selection);
  if (row >= sources.size() || fights.empty()) return std::nullopt;
  const DamageTable& table = app.Log().DamageTable();
  for (const IndexRange& range : fights.Ranges()) {
    for (size_t k = range.begin; k < range.end; ++k) {
      const DamageRecord record = table[k];
      if (record.Date == sources[row].StartDate) return record.Counter;
    }
  }
  return std::nullopt;
}

}  // namespace ombrel
