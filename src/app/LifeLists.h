#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "analysis/Deaths.h"
#include "analysis/Healing.h"
#include "shared/EventRecord.h"
#include "shared/ListColumns.h"
#include "shared/ParsedLog.h"
#include "shared/TextTable.h"

namespace ombrel {

// The lists of the Deaths and Healing pages (extended rules), of one fight or
// of the whole log: the deaths and the chosen death's recap, the healers and
// the chosen healer's healing by target and by spell, the heals each target
// received and the chosen target's healers. Its views into the log
// hold while that log does: it is built again for every log.
class LifeLists {
 public:
  LifeLists();

  // The lists of `fights` seen as one (none, or the empty event among them:
  // the whole log) of `log`, the first death and the first healer chosen.
  void Build(const ParsedLog& log, const std::vector<const EventRecord*>& fights);

  const TextTable& Deaths() const { return deaths_list_; }
  size_t SelectedDeath() const { return selected_death_; }
  // Chooses a death (a row outside the list is ignored) and builds its recap.
  void SelectDeath(size_t row);
  // One of kRecapWindows; the recap is built again.
  void SetRecapWindow(int seconds);
  int RecapWindow() const { return window_; }
  const TextTable& RecapList() const { return recap_list_; }
  // The chosen death's recap, for its chart.
  const Recap& CurrentRecap() const { return recap_; }

  const TextTable& Healers() const { return healers_list_; }
  size_t SelectedHealer() const { return selected_healer_; }
  void SelectHealer(size_t row);
  const TextTable& ByTarget() const { return by_target_list_; }
  const TextTable& BySpell() const { return by_spell_list_; }

  // The heals received, one row per target, and the chosen target's healers.
  const TextTable& Targets() const { return targets_list_; }
  size_t SelectedTarget() const { return selected_target_; }
  void SelectTarget(size_t row);
  const TextTable& TargetHealers() const { return target_healers_list_; }

  // The deaths as listed, and the lines they and the heals are taken from.
  const std::vector<DeathRow>& DeathRows() const { return deaths_; }
  const LineSpans& Span() const { return span_; }

 private:
  void BuildRecap();

  const DamageTable* table_ = nullptr;
  LineSpans span_;
  std::vector<DeathRow> deaths_;
  TextTable deaths_list_;
  size_t selected_death_ = 0;
  int window_ = kDefaultRecapWindow;
  Recap recap_;
  TextTable recap_list_;
  std::vector<HealingRow> healers_;
  int64_t seconds_ = 1;
  TextTable healers_list_;
  size_t selected_healer_ = 0;
  TextTable by_target_list_;
  TextTable by_spell_list_;
  std::vector<HealingRow> targets_;
  TextTable targets_list_;
  size_t selected_target_ = 0;
  TextTable target_healers_list_;
};

}  // namespace ombrel
