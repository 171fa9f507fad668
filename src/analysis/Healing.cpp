#include "analysis/Healing.h"

#include <algorithm>
#include <unordered_map>

#include "shared/Csv.h"
#include "shared/Display.h"

namespace ombrel {

namespace {

// The heals on the lines of `span` that `wanted` takes, added up by `key`.
template <typename Wanted>
std::vector<HealingRow> SumHeals(const DamageTable& table, const LineSpans& span, HealingKey key,
                                 Wanted wanted) {
  std::vector<HealingRow> rows;
  std::unordered_map<std::string_view, size_t> at;
  for (size_t k = 0; k < table.HealCount(); ++k) {
    const HealRecord h = table.Heal(k);
    if (!span.Holds(h.Counter) || !wanted(h)) continue;
    const std::string_view name =
        key == HealingKey::kHealer ? h.Healer : (key == HealingKey::kTarget ? h.Target : h.Spell);
    const auto [place, added] = at.try_emplace(name, rows.size());
    if (added) rows.push_back({name});
    HealingRow& row = rows[place->second];
    row.healed += h.Amount;
    row.full += h.FullAmount;
    row.heals += 1;
    row.crit_heals += h.Crit != 0 ? 1 : 0;
  }
  std::stable_sort(rows.begin(), rows.end(), [](const HealingRow& a, const HealingRow& b) {
    return a.healed != b.healed ? a.healed > b.healed : a.name < b.name;
  });
  return rows;
}

}  // namespace

std::vector<HealingRow> SumHealing(const DamageTable& table, const LineSpans& span, HealingKey key,
                                   const std::string_view* healer) {
  return SumHeals(table, span, key, [healer](const HealRecord& h) {
    return healer == nullptr || h.Healer == *healer;
  });
}

std::vector<HealingRow> SumHealingReceived(const DamageTable& table, const LineSpans& span,
                                           HealingKey key, std::string_view target) {
  return SumHeals(table, span, key, [target](const HealRecord& h) { return h.Target == target; });
}

int64_t HealingSeconds(const DamageTable& table, const LineSpans& span) {
  int64_t first = INT64_MAX;
  int64_t last = INT64_MIN;
  for (size_t k = 0; k < table.HealCount(); ++k) {
    const HealRecord h = table.Heal(k);
    if (!span.Holds(h.Counter)) continue;
    first = std::min(first, h.Date.seconds);
    last = std::max(last, h.Date.seconds);
  }
  return first > last ? 1 : std::max<int64_t>(1, last - first);
}

void WriteHealingCsv(std::ostream& out, const DamageTable& table, const LineSpans& span) {
  CsvWriter csv(out);
  csv.Header("Date,Healer,Target,Amount,Full Amount,Spell,Crit,Counter");
  for (size_t k = 0; k < table.HealCount(); ++k) {
    const HealRecord h = table.Heal(k);
    if (!span.Holds(h.Counter)) continue;
    csv.Field(display::DateTimeText(h.Date)).Field(h.Healer).Field(h.Target);
    csv.Field(int64_t{h.Amount}).Field(int64_t{h.FullAmount}).Field(h.Spell);
    csv.Field(int64_t{h.Crit}).Field(h.Counter);
    csv.EndLine();
  }
}

}  // namespace ombrel
