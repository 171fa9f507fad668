#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

#include "shared/DamageTable.h"
#include "shared/EventRecord.h"
#include "shared/Progress.h"
#include "shared/TextTable.h"

namespace ombrel {

// True when `name` is one of the mobs.
bool IsMob(const std::vector<std::string_view>& mob_list, std::string_view name);

// Groups the damage records into events, one per fight against one mob, in
// the order they were opened. Always returns at least one (possibly empty) event.
std::vector<EventRecord> BuildEvents(const DamageTable& table,
                                     const std::vector<std::string_view>& mob_list,
                                     int32_t event_gap, const Progress& progress = {});

// The events list: 16 cell texts per event.
TextTable EventsListRows(const std::vector<EventRecord>& events);

// Events.csv: header and 14 fields per event, CR LF line ends.
void WriteEventsCsv(std::ostream& out, const std::vector<EventRecord>& events);

}  // namespace ombrel
