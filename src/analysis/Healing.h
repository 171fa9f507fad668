#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/Deaths.h"
#include "shared/DamageTable.h"

namespace ombrel {

// The heals of a healer, target or spell added up.
struct HealingRow {
  std::string_view name;  // healer, target or spell; empty for none named
  int64_t healed = 0;     // what landed
  int64_t full = 0;       // the full amounts (the landed amount where the line gives none)
  int64_t heals = 0;
  int64_t crit_heals = 0;
  int64_t Overhealed() const { return full - healed; }
};

enum class HealingKey { kHealer, kTarget, kSpell };

// The heals on the lines of `span` by `healer` (every heal when null), added
// up by `key`; the rows by healed, most first, then by name.
std::vector<HealingRow> SumHealing(const DamageTable& table, const LineSpans& span, HealingKey key,
                                   const std::string_view* healer = nullptr);
// The same of the heals `target` received, from every healer.
std::vector<HealingRow> SumHealingReceived(const DamageTable& table, const LineSpans& span,
                                           HealingKey key, std::string_view target);

// The seconds the heals on the lines of `span` spread over: from the first
// to the last, at least 1.
int64_t HealingSeconds(const DamageTable& table, const LineSpans& span);

// healing.csv: Date, Healer, Target, Amount, Full Amount, Spell, Crit, Counter,
// one row per heal on the lines of `span`.
void WriteHealingCsv(std::ostream& out, const DamageTable& table, const LineSpans& span);

}  // namespace ombrel
