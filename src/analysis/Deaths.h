#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "shared/DamageTable.h"
#include "shared/EventRecord.h"

namespace ombrel {

// The windows a death recap looks back over, in seconds; the first list's default.
inline constexpr int kRecapWindows[4] = {5, 10, 20, 30};
inline constexpr int kDefaultRecapWindow = 10;

// The lines of the log an event spans: from its first record's to its last
// record's, and on to its mob's death when that closed it.
struct FightLines {
  int64_t first = 0;
  int64_t last = -1;
  bool Holds(int64_t line) const { return first <= line && line <= last; }
};
// Every line when `event` is null or names no fight.
FightLines EventLines(const DamageTable& table, const EventRecord* event);

// The lines of one fight or of several seen as one: their spans merged, in
// line order.
class LineSpans {
 public:
  LineSpans() = default;  // no line
  // One fight's lines.
  LineSpans(FightLines span) : LineSpans(std::vector<FightLines>{span}) {}  // NOLINT
  explicit LineSpans(std::vector<FightLines> spans);
  bool Holds(int64_t line) const;

 private:
  std::vector<FightLines> spans_;  // ascending, apart
};

// One death as the deaths list shows it.
struct DeathRow {
  size_t death = 0;  // index among the table's deaths
  DeathRecord record;
  int64_t damage_taken = 0;  // by the victim in the window before
};

// The deaths on the lines of `span`, each with the damage its victim took in
// the `window` seconds before it.
std::vector<DeathRow> ListDeaths(const DamageTable& table, const LineSpans& span,
                                 int window = kDefaultRecapWindow);

// One line of a death recap: a record aimed at the victim or a heal of it.
struct RecapLine {
  int64_t seconds_before = 0;
  std::string_view source;  // dealer or healer
  std::string_view name;    // attack or spell
  int32_t damage = 0;       // damage records only
  bool crit = false;
  int32_t avoided = 0;  // the record type of a miss, parry, dodge, riposte or block, else 0
  int32_t healed = 0;   // heals only
  bool heal = false;
  int64_t total_taken = 0;  // damage taken so far within the window
  bool killing_blow = false;
  int64_t counter = 0;
};

struct Recap {
  DeathRecord death;
  int window = kDefaultRecapWindow;
  std::vector<RecapLine> lines;
  // Damage taken in each second of the window, the oldest first; the last is
  // the second of the death.
  std::vector<int64_t> taken_per_second;
};

// What happened to the victim of death `death` in the `window` seconds before it.
Recap BuildRecap(const DamageTable& table, size_t death, int window = kDefaultRecapWindow);

// deaths.csv: Date, Victim, Killer, Damage Taken In Window, Counter.
void WriteDeathsCsv(std::ostream& out, const std::vector<DeathRow>& deaths);
// recap.csv: one row per recap line.
void WriteRecapCsv(std::ostream& out, const Recap& recap);

// The text of a recap line's avoidance ("miss", "parry", ...), empty for none.
std::string_view AvoidanceText(int32_t type);

}  // namespace ombrel
