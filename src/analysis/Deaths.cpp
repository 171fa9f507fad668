#include "analysis/Deaths.h"

#include <algorithm>
#include <iterator>

#include "shared/Csv.h"
#include "shared/Display.h"

namespace ombrel {
namespace {

// The first record on line `line` or after it (records are in line order).
size_t FirstRecordFrom(const DamageTable& table, int64_t line) {
  size_t low = 0;
  size_t high = table.size();
  while (low < high) {
    const size_t mid = low + (high - low) / 2;
    if (table[mid].Counter < line)
      low = mid + 1;
    else
      high = mid;
  }
  return low;
}

bool IsAvoidance(int32_t type) {
  return type >= kMiss && type <= kBlock;
}

// The records before death `d`'s line within the window, oldest first: back
// from the death until a record is older than the window.
std::pair<size_t, size_t> RecordsBefore(const DamageTable& table, const DeathRecord& d,
                                        int window) {
  const size_t end = FirstRecordFrom(table, d.Counter);
  size_t begin = end;
  while (begin > 0 && table[begin - 1].Date.seconds >= d.Date.seconds - window) --begin;
  return {begin, end};
}

}  // namespace

FightLines EventLines(const DamageTable& table, const EventRecord* event) {
  if (event == nullptr || event->Name.empty() || table.empty() ||
      static_cast<size_t>(event->EndCounter) >= table.size())
    return {0, INT64_MAX};
  FightLines span{table[static_cast<size_t>(event->StartCounter)].Counter,
                  table[static_cast<size_t>(event->EndCounter)].Counter};
  // The mob's death that closed the fight: its first after the last record,
  // before any other record of the mob.
  const size_t next = static_cast<size_t>(event->EndCounter) + 1;
  for (size_t k = 0; k < table.DeathCount(); ++k) {
    const DeathRecord d = table.Death(k);
    if (d.Counter <= span.last || d.Victim != event->Name) continue;
    bool between = false;
    for (size_t r = next; r < table.size() && table[r].Counter < d.Counter && !between; ++r)
      between = IsDamageType(table[r].Type) &&
                (table[r].Dealer == event->Name || table[r].Taker == event->Name);
    if (!between) span.last = d.Counter;
    break;
  }
  return span;
}

LineSpans::LineSpans(std::vector<FightLines> spans) {
  std::sort(spans.begin(), spans.end(),
            [](const FightLines& a, const FightLines& b) { return a.first < b.first; });
  for (const FightLines& span : spans) {
    if (span.last < span.first) continue;
    if (!spans_.empty() && span.first <= spans_.back().last)
      spans_.back().last = std::max(spans_.back().last, span.last);
    else
      spans_.push_back(span);
  }
}

bool LineSpans::Holds(int64_t line) const {
  const auto after =
      std::upper_bound(spans_.begin(), spans_.end(), line,
                       [](int64_t l, const FightLines& span) { return l < span.first; });
  return after != spans_.begin() && std::prev(after)->Holds(line);
}

std::vector<DeathRow> ListDeaths(const DamageTable& table, const LineSpans& span, int window) {
  std::vector<DeathRow> rows;
  for (size_t k = 0; k < table.DeathCount(); ++k) {
    const DeathRecord d = table.Death(k);
    if (!span.Holds(d.Counter)) continue;
    DeathRow row{k, d, 0};
    const auto [begin, end] = RecordsBefore(table, d, window);
    for (size_t r = begin; r < end; ++r) {
      const DamageRecord record = table[r];
      if (IsDamageType(record.Type) && record.Taker == d.Victim) row.damage_taken += record.Damage;
    }
    rows.push_back(row);
  }
  return rows;
}

Recap BuildRecap(const DamageTable& table, size_t death, int window) {
  Recap recap;
  recap.window = window;
  recap.taken_per_second.assign(static_cast<size_t>(window) + 1, 0);
  if (death >= table.DeathCount()) return recap;
  const DeathRecord d = table.Death(death);
  recap.death = d;
  const int64_t since = d.Date.seconds - window;
  auto in_window = [&](DateTime date) {
    return date.seconds >= since && date.seconds <= d.Date.seconds;
  };
  const auto [begin, end] = RecordsBefore(table, d, window);
  for (size_t r = begin; r < end; ++r) {
    const DamageRecord record = table[r];
    const bool damage = IsDamageType(record.Type);
    if (record.Taker != d.Victim || !(damage || IsAvoidance(record.Type))) continue;
    RecapLine line;
    line.seconds_before = d.Date.seconds - record.Date.seconds;
    line.source = record.Dealer;
    line.name = record.Name;
    line.counter = record.Counter;
    line.damage = damage ? record.Damage : 0;
    line.crit = damage && record.Crit != 0;
    line.avoided = damage ? 0 : record.Type;
    recap.lines.push_back(line);
  }
  for (size_t k = 0; k < table.HealCount(); ++k) {
    const HealRecord h = table.Heal(k);
    if (h.Counter >= d.Counter) break;
    if (h.Target != d.Victim || !in_window(h.Date)) continue;
    RecapLine line;
    line.seconds_before = d.Date.seconds - h.Date.seconds;
    line.source = h.Healer;
    line.name = h.Spell;
    line.crit = h.Crit != 0;
    line.healed = h.Amount;
    line.heal = true;
    line.counter = h.Counter;
    recap.lines.push_back(line);
  }
  std::stable_sort(recap.lines.begin(), recap.lines.end(),
                   [](const RecapLine& a, const RecapLine& b) { return a.counter < b.counter; });
  int64_t total = 0;
  for (RecapLine& line : recap.lines) {
    total += line.damage;
    line.total_taken = total;
    if (line.damage != 0 && line.seconds_before >= 0 && line.seconds_before <= window)
      recap.taken_per_second[static_cast<size_t>(window - line.seconds_before)] += line.damage;
  }
  // The killing blow: the last damage taken.
  for (auto line = recap.lines.rbegin(); line != recap.lines.rend(); ++line) {
    if (!line->heal && line->avoided == 0 && line->damage > 0) {
      line->killing_blow = true;
      break;
    }
  }
  return recap;
}

std::string_view AvoidanceText(int32_t type) {
  switch (type) {
    case kMiss:
      return "miss";
    case kParry:
      return "parry";
    case kDodge:
      return "dodge";
    case kRiposte:
      return "riposte";
    case kBlock:
      return "block";
    default:
      return {};
  }
}

void WriteDeathsCsv(std::ostream& out, const std::vector<DeathRow>& deaths) {
  CsvWriter csv(out);
  csv.Header("Date,Victim,Killer,Damage Taken In Window,Counter");
  for (const DeathRow& row : deaths) {
    csv.Field(display::DateTimeText(row.record.Date)).Field(row.record.Victim);
    csv.Field(row.record.Killer).Field(row.damage_taken).Field(row.record.Counter);
    csv.EndLine();
  }
}

void WriteRecapCsv(std::ostream& out, const Recap& recap) {
  CsvWriter csv(out);
  csv.Header(
      "Seconds Before,Source,Attack,Damage,Crit,Avoided,Healed,Damage Taken,Killing Blow,"
      "Counter");
  for (const RecapLine& line : recap.lines) {
    csv.Field(line.seconds_before).Field(line.source).Field(line.name);
    csv.Field(int64_t{line.damage}).Field(int64_t{line.crit ? 1 : 0});
    csv.Field(AvoidanceText(line.avoided)).Field(int64_t{line.healed}).Field(line.total_taken);
    csv.Field(int64_t{line.killing_blow ? 1 : 0}).Field(line.counter);
    csv.EndLine();
  }
}

}  // namespace ombrel
