#include "analysis/CombatantDetail.h"

namespace ombrel {

std::vector<SourceRow> ShowCombatantDetail(const Globals&, int32_t, std::string_view) {
  return {SourceRow{}};
}

std::vector<SourceRow> CombatantReportSources(const Globals&, int32_t, std::string_view) {
  return {SourceRow{}};
}

TextTable CombatantDetailListRows(const std::vector<SourceRow>&, int64_t) { return TextTable(16); }

void WritePcDetailCsv(std::ostream&, const std::vector<SourceRow>&) {}

}  // namespace ombrel
