#include "analysis/EventDetail.h"

namespace ombrel {

std::vector<CombatantSummary> ShowEventDetail(Globals&, int32_t) { return {}; }

TextTable EventDetailListRows(const std::vector<CombatantSummary>&) { return TextTable(25); }

void WriteTextPcListCsv(std::ostream&, const std::vector<CombatantSummary>&) {}

}  // namespace ombrel
