#include "app/LiveMeter.h"

#include <algorithm>
#include <tuple>

#include "analysis/EventDetail.h"
#include "analysis/FightUnion.h"
#include "analysis/Rates.h"
#include "events/Encounters.h"

namespace ombrel {

std::vector<int32_t> LastEncounterFights(std::span<const EventRecord> events, int32_t event_gap) {
  // With no fight the table holds only the empty event, dated 12/30/1899.
  if (events.size() == 1 && events.front().Name.empty() && events.front().StartDate.seconds == 0)
    return {};
  // A fight joins the encounter before it when it starts at most the gap
  // after the latest end so far; spans as GroupEncounters takes them.
  size_t first = 0;
  int64_t reach = 0, from_before = 0;
  for (size_t i = 0; i < events.size(); ++i) {
    const int64_t a = events[i].StartDate.seconds, b = events[i].EndDate.seconds;
    const int64_t from = std::min(a, b);
    if (i > 0 && from < from_before) {
      // Out of order (a clock stepped back): the grouping sorts them.
      const Encounters grouped = GroupEncounters(events, event_gap);
      const auto last = grouped.FightsOf(grouped.size() - 1);
      return {last.begin(), last.end()};
    }
    if (i == 0 || from - reach > event_gap) {
      first = i;
      reach = from;
    }
    reach = std::max(reach, std::max(a, b));
    from_before = from;
  }
  std::vector<int32_t> fights;
  for (size_t i = first; i < events.size(); ++i) fights.push_back(static_cast<int32_t>(i + 1));
  return fights;
}

bool LiveMeter::Update(const ParsedLog& log, const Settings& settings) {
  const std::span<const EventRecord> events = log.EventTable();
  std::vector<int32_t> fights = LastEncounterFights(events, settings.EventGap);
  std::vector<EventRecord> seen;
  seen.reserve(fights.size());
  for (const int32_t n : fights) seen.push_back(events[static_cast<size_t>(n) - 1]);
  if (fights == fights_ && seen == seen_ && settings.CharacterName == settings_.CharacterName &&
      settings.IncludePets == settings_.IncludePets && settings.EventGap == settings_.EventGap)
    return false;
  fights_ = std::move(fights);
  seen_ = std::move(seen);
  settings_ = settings;
  rows_.clear();
  caption_.clear();
  seconds_ = 0;
  if (fights_.empty()) return true;

  const FightUnion fight_union(log, FightSelection(fights_));
  caption_ = fight_union.Caption();
  seconds_ = fight_union.Summary().Duration;
  const EventDetail detail = BuildEventDetail(fight_union, settings.IncludePets);
  const std::string with_pets = settings.CharacterName + std::string(kPetSuffix);
  for (size_t i = 1; i < detail.rows.size(); ++i) {
    const CombatantSummary& row = detail.rows[i];
    rows_.push_back({row.Name, row.DamageDealt, PerSecond(row.DamageDealt, row.Duration),
                     row.Name == settings.CharacterName || row.Name == with_pets});
  }
  std::sort(rows_.begin(), rows_.end(), [](const MeterRow& x, const MeterRow& y) {
    return std::tie(y.Damage, x.Name) < std::tie(x.Damage, y.Name);
  });
  return true;
}

}  // namespace ombrel
