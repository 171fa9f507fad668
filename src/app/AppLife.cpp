#include "analysis/Deaths.h"
#include "analysis/Healing.h"
#include "app/App.h"
#include "shared/AttackVerbs.h"

namespace ombrel {

void App::BuildLifeLists(bool whole_log) {
  std::vector<const EventRecord*> fights;
  for (const size_t row : whole_log ? std::vector<size_t>{} : selected_events_) {
    if (const EventRecord* fight = log_.FindEvent(static_cast<int32_t>(row + 1)))
      fights.push_back(fight);
  }
  life_.Build(log_, fights);
  ++life_builds_;
}

bool App::LifePagesAvailable() const {
  // The log keeps the verb table of the rules that read it.
  return tab_strip_available_ && log_.AttackVerbs().size() == kExtendedAttackVerbs.size();
}

void App::SetLifeWholeLog(bool whole_log) {
  if (whole_log == life_whole_log_) return;
  life_whole_log_ = whole_log;
  if (shown_page_ >= 4) ShowLifePage(selected_tab_);
}

std::string App::LifeCaption() const {
  if (life_whole_log_ || selected_event_ >= events_list_.Rows()) return "the whole log";
  return SelectedEventName();
}

void App::ShowLifePage(int tab) {
  shown_page_ = tab - 1;
  BuildLifeLists(life_whole_log_);
  const std::string of = LifeCaption();
  frame_captions_[4] = std::string(kLifeTabCaptions[0]) + " - " + of;
  frame_captions_[5] = std::string(kLifeTabCaptions[1]) + " - " + of;
}

void App::DropLifeLists() {
  const int window = life_.RecapWindow();
  life_ = LifeLists();
  life_.SetRecapWindow(window);
  ++life_builds_;
}

void App::KeepLifeLists() {
  const size_t death = life_.SelectedDeath();
  const size_t healer = life_.SelectedHealer();
  const size_t target = life_.SelectedTarget();
  DropLifeLists();
  if (shown_page_ < 4 || !LifePagesAvailable()) return;
  ShowLifePage(selected_tab_);
  life_.SelectDeath(death);
  if (healer < life_.Healers().Rows()) life_.SelectHealer(healer);
  if (target < life_.Targets().Rows()) life_.SelectTarget(target);
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
