#include "analysis/Deaths.h"
#include "analysis/Healing.h"
#include "app/App.h"

namespace ombrel {

void App::BuildLifeLists(bool whole_log) {
  const EventRecord* fight =
      whole_log ? nullptr : log_.FindEvent(static_cast<int32_t>(selected_event_ + 1));
  life_.Build(log_, fight);
}

std::optional<Failure> App::ExportDeathsCsv(const std::filesystem::path& path) const {
  return WriteCsvFile(path, [&](std::ostream& out) { WriteDeathsCsv(out, life_.DeathRows()); });
}

std::optional<Failure> App::ExportHealingCsv(const std::filesystem::path& path) const {
  return WriteCsvFile(
      path, [&](std::ostream& out) { WriteHealingCsv(out, log_.DamageTable(), life_.Span()); });
}

std::optional<Failure> App::ExportRecapCsv(const std::filesystem::path& path) const {
  return WriteCsvFile(path, [&](std::ostream& out) { WriteRecapCsv(out, life_.CurrentRecap()); });
}

}  // namespace ombrel
