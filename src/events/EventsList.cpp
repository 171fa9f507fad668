#include <algorithm>

#include "events/BuildEvents.h"
#include "shared/Csv.h"
#include "shared/Display.h"
#include "shared/ListColumns.h"

namespace ombrel {
namespace {

// Average hit: "0" when there is no hit to divide by.
std::string AverageText(int64_t sum, int64_t hits) {
  if (hits < 1) return "0";
  return display::Fixed2(static_cast<double>(sum) / static_cast<double>(hits));
}

}  // namespace

std::vector<std::string> EventsListRow(const EventRecord& e) {
  using Column = EventsColumn;
  const double duration = static_cast<double>(std::max<int64_t>(e.Duration, 1));
  ListRow<Column> row;
  row[Column::kMob] = e.Name;
  row[Column::kDmgTaken] = display::Plain(e.DamageTaken);
  row[Column::kDmgDealt] = display::Plain(e.DamageDealt);
  row[Column::kDuration] = display::Plain(e.Duration);
  row[Column::kDPSTaken] = display::Fixed2(static_cast<double>(e.DamageTaken) / duration);
  row[Column::kDPSDealt] = display::Fixed2(static_cast<double>(e.DamageDealt) / duration);
  row[Column::kStart] = display::DateTimeText(e.StartDate);
  row[Column::kEnd] = display::DateTimeText(e.EndDate);
  row[Column::kMaxHitTaken] = display::Plain(e.MaxHitTaken);
  row[Column::kMinHitTaken] = display::Plain(e.MinHitTaken);
  row[Column::kHitsTaken] = display::Plain(e.HitsTaken);
  row[Column::kAveHitTaken] = AverageText(e.DamageTaken, e.HitsTaken);
  row[Column::kMaxHitDealt] = display::Plain(e.MaxHitDealt);
  row[Column::kMinHitDealt] = display::Plain(e.MinHitDealt);
  row[Column::kHitsDealt] = display::Plain(e.HitsDealt);
  row[Column::kAveHitDealt] = AverageText(e.DamageDealt, e.HitsDealt);
  return std::move(row).Take();
}

TextTable EventsListRows(const std::vector<EventRecord>& events) {
  TextTable list = EmptyList<EventsColumn>();
  list.Reserve(events.size());
  for (const EventRecord& e : events) list.AddRow(EventsListRow(e));
  return list;
}

void UpdateEventsListRows(TextTable& list, std::vector<EventRecord>& listed,
                          const std::vector<EventRecord>& events, EventsListChange* change) {
  EventsListChange ignored;
  if (change == nullptr) change = &ignored;
  change->changed_rows.clear();
  const size_t common = std::min({events.size(), listed.size(), list.Rows()});
  size_t row = 0;
  // A fight keeps its first record; its name may change (a pet that took its
  // owner's first letter), which renders its row again like any change.
  for (; row < common && events[row].StartCounter == listed[row].StartCounter; ++row) {
    if (events[row] == listed[row]) continue;
    list.SetRow(row, EventsListRow(events[row]));
    listed[row] = events[row];
    change->changed_rows.push_back(row);
  }
  change->added_from = row;
  change->gone_from = row < listed.size() ? listed[row].StartCounter : INT64_MAX;
  list.KeepRows(row);
  listed.resize(row);
  for (; row < events.size(); ++row) {
    list.AddRow(EventsListRow(events[row]));
    listed.push_back(events[row]);
  }
}

void WriteEventsCsv(std::ostream& out, const std::vector<EventRecord>& events) {
  CsvWriter csv(out);
  csv.Header(
      "Mob,Damage Taken,Duration,Damage Dealt,Start Date,End Date,Start Counter,End Counter,"
      "Max Hit Taken,Min Hit Taken,Hits Taken,Max Hit Dealt,Min Hit Dealt,Hits Dealt");
  for (const EventRecord& e : events) {
    // The file's duration is the plain difference, 0 for a one-record event,
    // unlike the listed duration; 0 too when the clock stepped back within the
    // fight and its last record is dated before its first.
    csv.Field(e.Name)
        .Field(e.DamageTaken)
        .Field(std::max<int64_t>(SecondsBetween(e.StartDate, e.EndDate), 0))
        .Field(e.DamageDealt)
        .Field(display::DateTimeText(e.StartDate))
        .Field(display::DateTimeText(e.EndDate))
        .Field(e.StartCounter)
        .Field(e.EndCounter)
        .Field(e.MaxHitTaken)
        .Field(e.MinHitTaken)
        .Field(e.HitsTaken)
        .Field(e.MaxHitDealt)
        .Field(e.MinHitDealt)
        .Field(e.HitsDealt);
    csv.EndLine();
  }
}

}  // namespace ombrel
