#include "events/Encounters.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_set>

#include "shared/ActiveTime.h"
#include "shared/Csv.h"
#include "shared/Display.h"

namespace ombrel {
namespace {

// A fight's span; a fight whose last record is dated before its first (the
// clock stepped back) spans from the earlier to the later.
struct Span {
  int64_t from;
  int64_t to;
  int32_t event_number;
};

// "#,##0.00" without the grouping, so that the CSV cell is one plain number.
std::string RateText(int64_t damage, int64_t seconds) {
  std::string text = display::Fixed2(static_cast<double>(damage) /
                                     static_cast<double>(std::max<int64_t>(seconds, 1)));
  std::erase(text, ',');
  return text;
}

}  // namespace

Encounters GroupEncounters(std::span<const EventRecord> events, int32_t event_gap) {
  std::vector<Span> spans;
  // With no fight the table holds only the empty event, dated 12/30/1899.
  if (events.size() == 1 && events.front().Name.empty() && events.front().StartDate.seconds == 0)
    events = {};
  spans.reserve(events.size());
  for (size_t i = 0; i < events.size(); ++i) {
    const EventRecord& e = events[i];
    const int64_t a = e.StartDate.seconds, b = e.EndDate.seconds;
    spans.push_back({std::min(a, b), std::max(a, b), static_cast<int32_t>(i + 1)});
  }
  std::sort(spans.begin(), spans.end(), [](const Span& x, const Span& y) {
    return x.from != y.from ? x.from < y.from : x.event_number < y.event_number;
  });

  Encounters grouped;
  grouped.fights_.reserve(spans.size());
  int64_t reach = 0;
  for (const Span& s : spans) {
    if (grouped.begin_.empty() || s.from - reach > event_gap) {
      grouped.begin_.push_back(grouped.fights_.size());
      reach = s.to;
    }
    reach = std::max(reach, s.to);
    grouped.fights_.push_back(s.event_number);
  }
  if (grouped.begin_.empty()) return grouped;
  grouped.begin_.push_back(grouped.fights_.size());
  for (size_t e = 0; e + 1 < grouped.begin_.size(); ++e) {
    std::sort(grouped.fights_.begin() + static_cast<std::ptrdiff_t>(grouped.begin_[e]),
              grouped.fights_.begin() + static_cast<std::ptrdiff_t>(grouped.begin_[e + 1]));
  }
  return grouped;
}

EventRecord EncounterSummary(std::span<const EventRecord> events, std::span<const int32_t> fights) {
  EventRecord sum;
  std::vector<ActiveSpan> spans;
  for (const int32_t n : fights) {
    const EventRecord& e = events[static_cast<size_t>(n) - 1];
    if (spans.empty()) {
      sum.Name = e.Name;
      sum.StartDate = e.StartDate;
      sum.EndDate = e.EndDate;
    }
    sum.DamageTaken += e.DamageTaken;
    sum.DamageDealt += e.DamageDealt;
    sum.HitsTaken += e.HitsTaken;
    sum.HitsDealt += e.HitsDealt;
    sum.StartDate = std::min(sum.StartDate, e.StartDate);
    sum.EndDate = std::max(sum.EndDate, e.EndDate);
    spans.push_back({e.StartDate, e.EndDate});
  }
  sum.Duration = ActiveSeconds(std::move(spans));
  return sum;
}

void WriteEncountersCsv(std::ostream& out, std::span<const EventRecord> events,
                        const Encounters& encounters) {
  CsvWriter csv(out);
  csv.Header(
      "Encounter,Fights,First Row,Last Row,Opponents,Start,End,Duration,Damage Taken,"
      "Damage Dealt,DPS Taken,DPS Dealt");
  std::string opponents;
  std::unordered_set<std::string_view> named;
  for (size_t e = 0; e < encounters.size(); ++e) {
    const std::span<const int32_t> fights = encounters.FightsOf(e);
    const EventRecord sum = EncounterSummary(events, fights);
    opponents.clear();
    named.clear();
    for (const int32_t n : fights) {
      const std::string_view mob = events[static_cast<size_t>(n) - 1].Name;
      if (!named.insert(mob).second) continue;
      if (!opponents.empty()) opponents += "; ";
      opponents += mob;
    }
    csv.Field(static_cast<int64_t>(e + 1))
        .Field(static_cast<int64_t>(fights.size()))
        .Field(fights.front())
        .Field(fights.back())
        .Field(opponents)
        .Field(display::DateTimeText(sum.StartDate))
        .Field(display::DateTimeText(sum.EndDate))
        .Field(sum.Duration)
        .Field(sum.DamageTaken)
        .Field(sum.DamageDealt)
        .Field(RateText(sum.DamageTaken, sum.Duration))
        .Field(RateText(sum.DamageDealt, sum.Duration));
    csv.EndLine();
  }
}

}  // namespace ombrel
