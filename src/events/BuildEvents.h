#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "shared/DamageTable.h"
#include "shared/EventRecord.h"
#include "shared/ListColumns.h"
#include "shared/Progress.h"
#include "shared/TextTable.h"

namespace ombrel {

// True when `name` equals an entry of the mob list, compared exactly. The
// list's empty entry counts like any other: an empty list (one empty entry)
// makes the empty name a mob.
bool IsMob(const std::vector<std::string_view>& mob_list, std::string_view name);

// Groups the damage records into events, one per fight against one mob, in
// the order they were opened. A damage record of a mob (its dealer when that is
// a mob, else its taker) joins the most recently opened event of that mob when
// its time lies at most `event_gap` seconds before or after the time of that
// event's last record, and no death of the mob (extended rules) lies between
// them; otherwise it opens a new event. Always returns at least
// one (possibly empty) event; durations are at least 1 second. Stops early
// (with what it has) when the progress is cancelled.
std::vector<EventRecord> BuildEvents(const DamageTable& table,
                                     const std::vector<std::string_view>& mob_list,
                                     int32_t event_gap, const Progress& progress = {});

// The events list: one row per event.
TextTable EventsListRows(const std::vector<EventRecord>& events);
// The cells of one event's row, and one of them.
std::vector<std::string> EventsListRow(const EventRecord& event);
std::string EventsListCell(const EventRecord& event, EventsColumn column);
// The texts of one event's row into `texts` (Reset to the list's columns), as
// EventsListCell makes them, written into the room the texts keep: a list of
// many fights is read without a text allocated per cell.
void EventsListTexts(const EventRecord& event, RowTexts& texts);
// The events list of `events` as it is shown, holding no text: each cell is
// rendered when it is read.
TextTable RenderedEventsList(std::shared_ptr<const std::vector<EventRecord>> events);
// Brings `list`, the events list of `listed`, to that of `events`, and
// `listed` to `events`: only the rows of fights that changed are rendered
// again, and the rows from the first other fight on (a new one, or one put
// in between).
// `change`, when given, receives what changed: the rows rendered again in
// place, in order, the row from which on every row was added, and the first
// record of the fight listed at that row before (INT64_MAX when it was past
// the end): fights listed from there on may be gone.
struct EventsListChange {
  std::vector<size_t> changed_rows;
  size_t added_from = 0;
  int64_t gone_from = INT64_MAX;
};
void UpdateEventsListRows(TextTable& list, std::vector<EventRecord>& listed,
                          const std::vector<EventRecord>& events,
                          EventsListChange* change = nullptr);

// Events.csv: header and 14 fields per event, CR LF line ends.
void WriteEventsCsv(std::ostream& out, const std::vector<EventRecord>& events);

}  // namespace ombrel
