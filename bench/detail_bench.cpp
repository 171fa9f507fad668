// The analyses of one large event: 100,000 records among 500 combatants.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/CombatantDetail.h"
#include "analysis/EventDetail.h"
#include "app/SortEventDetail.h"
#include "shared/AttackVerbs.h"
#include "shared/DamageTable.h"
#include "shared/ParsedLog.h"

namespace ombrel {
namespace {

constexpr int kRecords = 100000;
constexpr int kCombatants = 500;
constexpr std::string_view kOpponent = "an ancient dragon";
// The lists are built with pets on their owners' rows.
constexpr bool kIncludePets = true;

// The same fight on every run: a small linear congruential generator.
struct Lcg {
  uint64_t state = 12345;
  uint32_t Next(uint32_t bound) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<uint32_t>(state >> 33) % bound;
  }
};

// Built once.
const ParsedLog& BigEvent() {
  static const ParsedLog g = [] {
    std::vector<std::string> names;
    for (int c = 0; c < kCombatants; ++c) names.push_back("Fighter" + std::to_string(1000 + c));
    std::vector<std::string> pets;
    for (const std::string& n : names) pets.push_back(n + "`s pet");
    const std::vector<std::string> spells = {"Fire Bolt", "Ice Spike", "Glyph of Warding",
                                             "Staunch Recovery", "Venom Cloud"};

    Lcg rng;
    std::vector<DamageRecord> records;
    records.reserve(kRecords);
    const DateTime start = DateTime::FromCivil({2006, 1, 2, 20, 0, 0}).value();
    for (int i = 0; i < kRecords; ++i) {
      DamageRecord r;
      r.Date = DateTime{start.seconds + i / 20};
      const uint32_t who = rng.Next(kCombatants);
      const std::string_view fighter = rng.Next(8) == 0 ? pets[who] : names[who];
      const uint32_t kind = rng.Next(100);
      const std::string_view verb = kAttackVerbs[rng.Next(kAttackVerbs.size())];
      if (kind < 55) {
        r = {r.Date, fighter, kOpponent, static_cast<int32_t>(rng.Next(900)), 0, kMelee, verb, i};
      } else if (kind < 65) {
        r = {r.Date,
             fighter,
             kOpponent,
             static_cast<int32_t>(rng.Next(3000)),
             0,
             kNonMelee,
             spells[rng.Next(spells.size())],
             i};
      } else if (kind < 80) {
        r = {r.Date, fighter, kOpponent, 0, 0, static_cast<int32_t>(kMiss + rng.Next(5)), verb, i};
      } else if (kind < 95) {
        r = {r.Date, kOpponent, fighter, static_cast<int32_t>(rng.Next(2000)),
             0,      kMelee,    "claws", i};
      } else {
        r = {r.Date, fighter, fighter, 0, 0, kSpellCast, spells[rng.Next(spells.size())], i};
      }
      records.push_back(r);
    }

    EventRecord e;
    e.Name = std::string(kOpponent);
    e.StartCounter = 0;
    e.EndCounter = kRecords - 1;
    e.StartDate = records.front().Date;
    e.EndDate = records.back().Date;
    e.Duration = DurationSeconds(e.StartDate, e.EndDate);
    return ParsedLog(DamageTable::FromRecords(records), {}, {e});
  }();
  return g;
}

void BM_BuildEventDetail(benchmark::State& state) {
  const ParsedLog& g = BigEvent();
  for (auto _ : state) {
    TextTable list = EventDetailListRows(BuildEventDetail(g, 1, kIncludePets).rows);
    benchmark::DoNotOptimize(list);
  }
}
BENCHMARK(BM_BuildEventDetail)->Unit(benchmark::kMillisecond);

void BM_BuildCombatantDetail(benchmark::State& state) {
  const ParsedLog& g = BigEvent();
  const std::string_view who = state.range(0) == 0 ? " [ Total ] " : "Fighter1007 + pet";
  for (auto _ : state) {
    TextTable list = CombatantDetailListRows(BuildCombatantDetail(g, 1, who, kIncludePets), 1);
    benchmark::DoNotOptimize(list);
  }
}
BENCHMARK(BM_BuildCombatantDetail)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SortEventDetail(benchmark::State& state) {
  const ParsedLog& g = BigEvent();
  const TextTable list = EventDetailListRows(BuildEventDetail(g, 1, kIncludePets).rows);
  const auto key = static_cast<EventDetailColumn>(state.range(0));
  // As the window sorts: the list keeps its numbers, its cells made when read.
  for (auto _ : state) {
    ShownEventDetail shown(list);
    shown.Sort(key);
    benchmark::DoNotOptimize(shown);
  }
}
BENCHMARK(BM_SortEventDetail)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ombrel

BENCHMARK_MAIN();
