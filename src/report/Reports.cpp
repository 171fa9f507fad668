#include "report/Reports.h"

namespace ombrel {

void WriteEventsReport(std::ostream&, const TextTable&, std::string_view) {}

void WriteEventDetailReport(std::ostream&, const Globals&, int32_t, const TextTable&,
                            const TextTable&, std::string_view) {}

std::string CombatantDetailRows(const Globals&, int32_t, std::string_view) { return {}; }

}  // namespace ombrel
