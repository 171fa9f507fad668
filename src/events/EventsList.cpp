#include <algorithm>

#include "events/BuildEvents.h"
#include "shared/Csv.h"
#include "shared/Display.h"
#include "shared/DisplayInto.h"
#include "shared/ListColumns.h"
#include "shared/StretchWriter.h"

namespace ombrel {
namespace {

// Average hit: "0" when there is no hit to divide by.
std::string AverageText(int64_t sum, int64_t hits) {
  if (hits < 1) return "0";
  return display::Fixed2(static_cast<double>(sum) / static_cast<double>(hits));
}

}  // namespace

std::string EventsListCell(const EventRecord& e, EventsColumn column) {
  using Column = EventsColumn;
  const auto per_second = [&e](int64_t sum) {
    const double duration = static_cast<double>(std::max<int64_t>(e.Duration, 1));
    return display::Fixed2(static_cast<double>(sum) / duration);
  };
  switch (column) {
    case Column::kMob:
      return e.Name;
    case Column::kDmgTaken:
      return display::Plain(e.DamageTaken);
    case Column::kDmgDealt:
      return display::Plain(e.DamageDealt);
    case Column::kDuration:
      return display::Plain(e.Duration);
    case Column::kDPSTaken:
      return per_second(e.DamageTaken);
    case Column::kDPSDealt:
      return per_second(e.DamageDealt);
    case Column::kStart:
      return display::DateTimeText(e.StartDate);
    case Column::kEnd:
      return display::DateTimeText(e.EndDate);
    case Column::kMaxHitTaken:
      return display::Plain(e.MaxHitTaken);
    case Column::kMinHitTaken:
      return display::Plain(e.MinHitTaken);
    case Column::kHitsTaken:
      return display::Plain(e.HitsTaken);
    case Column::kAveHitTaken:
      return AverageText(e.DamageTaken, e.HitsTaken);
    case Column::kMaxHitDealt:
      return display::Plain(e.MaxHitDealt);
    case Column::kMinHitDealt:
      return display::Plain(e.MinHitDealt);
    case Column::kHitsDealt:
      return display::Plain(e.HitsDealt);
    case Column::kAveHitDealt:
      return AverageText(e.DamageDealt, e.HitsDealt);
    case Column::kCount:
      break;
  }
  return {};
}

std::vector<std::string> EventsListRow(const EventRecord& e) {
  ListRow<EventsColumn> row;
  for (size_t c = 0; c < At(EventsColumn::kCount); ++c) {
    const auto column = static_cast<EventsColumn>(c);
    row[column] = EventsListCell(e, column);
  }
  return std::move(row).Take();
}

void EventsListTexts(const EventRecord& e, RowTexts& texts) {
  using Column = EventsColumn;
  const auto plain = [&texts](Column column, int64_t value) {
    texts.Made(At(column), display::PlainInto(texts.Room(At(column)), value));
  };
  const auto fixed2 = [&texts](Column column, double value) {
    texts.Made(At(column), display::Fixed2Into(texts.Room(At(column)), value));
  };
  const auto date = [&texts](Column column, DateTime t) {
    texts.Made(At(column), texts.dates.Into(texts.Room(At(column)), t));
  };
  const double duration = static_cast<double>(std::max<int64_t>(e.Duration, 1));
  const auto average = [&](Column column, int64_t sum, int64_t hits) {
    if (hits < 1) {
      texts.View(At(column), "0");
    } else {
      fixed2(column, static_cast<double>(sum) / static_cast<double>(hits));
    }
  };
  texts.View(At(Column::kMob), e.Name);
  plain(Column::kDmgTaken, e.DamageTaken);
  plain(Column::kDmgDealt, e.DamageDealt);
  plain(Column::kDuration, e.Duration);
  fixed2(Column::kDPSTaken, static_cast<double>(e.DamageTaken) / duration);
  fixed2(Column::kDPSDealt, static_cast<double>(e.DamageDealt) / duration);
  date(Column::kStart, e.StartDate);
  date(Column::kEnd, e.EndDate);
  plain(Column::kMaxHitTaken, e.MaxHitTaken);
  plain(Column::kMinHitTaken, e.MinHitTaken);
  plain(Column::kHitsTaken, e.HitsTaken);
  average(Column::kAveHitTaken, e.DamageTaken, e.HitsTaken);
  plain(Column::kMaxHitDealt, e.MaxHitDealt);
  plain(Column::kMinHitDealt, e.MinHitDealt);
  plain(Column::kHitsDealt, e.HitsDealt);
  average(Column::kAveHitDealt, e.DamageDealt, e.HitsDealt);
}

TextTable RenderedEventsList(std::shared_ptr<const std::vector<EventRecord>> events) {
  const size_t rows = events->size();
  auto cell = [events](size_t row, size_t column) {
    return EventsListCell((*events)[row], static_cast<EventsColumn>(column));
  };
  auto row_texts = [events](size_t row, RowTexts& texts) {
    EventsListTexts((*events)[row], texts);
  };
  return TextTable(At(EventsColumn::kCount), rows, std::move(cell), std::move(row_texts));
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
  {
    CsvWriter csv(out);
    csv.Header(
        "Mob,Damage Taken,Duration,Damage Dealt,Start Date,End Date,Start Counter,End Counter,"
        "Max Hit Taken,Min Hit Taken,Hits Taken,Max Hit Dealt,Min Hit Dealt,Hits Dealt");
  }
  // The lines of a log of many fights are made in stretches on every thread.
  WriteInStretches(out, events.size(), [&events](std::string& text, size_t begin, size_t end) {
    TextSink sink(text);
    std::ostream lines(&sink);
    CsvWriter csv(lines);
    display::DateTexts dates;
    for (size_t k = begin; k < end; ++k) {
      const EventRecord& e = events[k];
      // The file's duration is the plain difference, 0 for a one-record event,
      // unlike the listed duration; 0 too when the clock stepped back within the
      // fight and its last record is dated before its first.
      csv.Field(e.Name)
          .Field(e.DamageTaken)
          .Field(std::max<int64_t>(SecondsBetween(e.StartDate, e.EndDate), 0))
          .Field(e.DamageDealt)
          .Field(dates.Text(e.StartDate))
          .Field(dates.Text(e.EndDate))
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
  });
}

}  // namespace ombrel
