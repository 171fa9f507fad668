#include "events/BuildEvents.h"

namespace ombrel {

bool IsMob(const std::vector<std::string_view>&, std::string_view) { return false; }

std::vector<EventRecord> BuildEvents(const DamageTable&, const std::vector<std::string_view>&,
                                     int32_t, const Progress&) {
  return {EventRecord{}};
}

TextTable EventsListRows(const std::vector<EventRecord>&) { return TextTable(16); }

void WriteEventsCsv(std::ostream&, const std::vector<EventRecord>&) {}

}  // namespace ombrel
