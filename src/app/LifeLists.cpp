#include "app/LifeLists.h"

#include <algorithm>
#include <string>

#include "shared/Display.h"

namespace ombrel {
namespace {

TextTable HealingList(const std::vector<HealingRow>& rows, int64_t seconds) {
  TextTable list = EmptyList<HealingColumn>();
  for (const HealingRow& r : rows) {
    ListRow<HealingColumn> row;
    row[HealingColumn::kName] = std::string(r.name);
    row[HealingColumn::kHealed] = display::Plain(r.healed);
    row[HealingColumn::kFull] = display::Plain(r.full);
    row[HealingColumn::kOverHealed] = display::Plain(r.Overhealed());
    row[HealingColumn::kHeals] = display::Plain(r.heals);
    row[HealingColumn::kCritHeals] = display::Plain(r.crit_heals);
    row[HealingColumn::kHPS] =
        display::Fixed2(static_cast<double>(r.healed) / static_cast<double>(seconds));
    list.AddRow(std::move(row).Take());
  }
  return list;
}

// The seconds the fights last, a second counted once where they overlap; at
// least 1. One fight's is its duration.
int64_t FightSeconds(const std::vector<const EventRecord*>& fights) {
  if (fights.size() == 1) return std::max<int64_t>(fights.front()->Duration, 1);
  std::vector<std::pair<int64_t, int64_t>> spans;
  for (const EventRecord* fight : fights)
    spans.emplace_back(fight->StartDate.seconds, fight->EndDate.seconds);
  std::sort(spans.begin(), spans.end());
  int64_t seconds = 0;
  int64_t covered = INT64_MIN;  // the end of the time counted so far
  for (const auto& [start, end] : spans) {
    const int64_t from = std::max(start, covered);
    if (end > from) seconds += end - from;
    covered = std::max(covered, end);
  }
  return std::max<int64_t>(seconds, 1);
}

}  // namespace

LifeLists::LifeLists()
    : deaths_list_(EmptyList<DeathsColumn>()),
      recap_list_(EmptyList<RecapColumn>()),
      healers_list_(EmptyList<HealingColumn>()),
      by_target_list_(EmptyList<HealingColumn>()),
      by_spell_list_(EmptyList<HealingColumn>()),
      targets_list_(EmptyList<HealingColumn>()),
      target_healers_list_(EmptyList<HealingColumn>()) {}

void LifeLists::Build(const ParsedLog& log, const std::vector<const EventRecord*>& fights) {
  table_ = &log.DamageTable();
  std::vector<FightLines> spans;
  bool whole_log = fights.empty();
  for (const EventRecord* fight : fights) {
    spans.push_back(EventLines(*table_, fight));
    whole_log = whole_log || fight->Name.empty();
  }
  span_ = whole_log ? LineSpans(EventLines(*table_, nullptr)) : LineSpans(std::move(spans));
  deaths_ = ListDeaths(*table_, span_);
  deaths_list_ = EmptyList<DeathsColumn>();
  for (const DeathRow& d : deaths_) {
    ListRow<DeathsColumn> row;
    row[DeathsColumn::kTime] = display::DateTimeText(d.record.Date);
    row[DeathsColumn::kVictim] = std::string(d.record.Victim);
    row[DeathsColumn::kKiller] = std::string(d.record.Killer);
    row[DeathsColumn::kDamageTaken] = display::Plain(d.damage_taken);
    deaths_list_.AddRow(std::move(row).Take());
  }
  selected_death_ = 0;
  BuildRecap();
  healers_ = SumHealing(*table_, span_, HealingKey::kHealer);
  // Over the fights, or over the heals of the whole log.
  seconds_ = whole_log ? HealingSeconds(*table_, span_) : FightSeconds(fights);
  healers_list_ = HealingList(healers_, seconds_);
  SelectHealer(0);
  targets_ = SumHealing(*table_, span_, HealingKey::kTarget);
  targets_list_ = HealingList(targets_, seconds_);
  selected_target_ = 0;
  SelectTarget(0);
}

void LifeLists::SelectDeath(size_t row) {
  if (row >= deaths_.size()) return;
  selected_death_ = row;
  BuildRecap();
}

void LifeLists::SetRecapWindow(int seconds) {
  if (std::find(std::begin(kRecapWindows), std::end(kRecapWindows), seconds) ==
      std::end(kRecapWindows))
    return;
  window_ = seconds;
  BuildRecap();
}

void LifeLists::BuildRecap() {
  recap_list_ = EmptyList<RecapColumn>();
  recap_ = Recap{};
  if (table_ == nullptr || selected_death_ >= deaths_.size()) return;
  recap_ = ombrel::BuildRecap(*table_, deaths_[selected_death_].death, window_);
  for (const RecapLine& line : recap_.lines) {
    ListRow<RecapColumn> row;
    row[RecapColumn::kSecondsBefore] = display::Plain(line.seconds_before);
    row[RecapColumn::kSource] = std::string(line.source);
    row[RecapColumn::kAttack] = std::string(line.name);
    row[RecapColumn::kDamage] = line.heal || line.avoided != 0 ? "" : display::Plain(line.damage);
    row[RecapColumn::kCrit] = line.crit ? "crit" : "";
    row[RecapColumn::kAvoided] = std::string(AvoidanceText(line.avoided));
    row[RecapColumn::kHealed] = line.heal ? display::Plain(line.healed) : "";
    row[RecapColumn::kTotalTaken] = display::Plain(line.total_taken);
    row[RecapColumn::kKillingBlow] = line.killing_blow ? "killing blow" : "";
    recap_list_.AddRow(std::move(row).Take());
  }
}

void LifeLists::SelectHealer(size_t row) {
  by_target_list_ = EmptyList<HealingColumn>();
  by_spell_list_ = EmptyList<HealingColumn>();
  if (table_ == nullptr || row >= healers_.size()) return;
  selected_healer_ = row;
  const std::string_view healer = healers_[row].name;
  by_target_list_ = HealingList(SumHealing(*table_, span_, HealingKey::kTarget, &healer), seconds_);
  by_spell_list_ = HealingList(SumHealing(*table_, span_, HealingKey::kSpell, &healer), seconds_);
}

void LifeLists::SelectTarget(size_t row) {
  target_healers_list_ = EmptyList<HealingColumn>();
  if (table_ == nullptr || row >= targets_.size()) return;
  selected_target_ = row;
  target_healers_list_ = HealingList(
      SumHealingReceived(*table_, span_, HealingKey::kHealer, targets_[row].name), seconds_);
}

}  // namespace ombrel
