// Fights seen as one: grouping 1.4 million fights into encounters, and the
// event detail with its chart of one encounter of 2,000 fights and 100
// combatants.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/EventDetail.h"
#include "analysis/FightUnion.h"
#include "analysis/Timeline.h"
#include "events/Encounters.h"
#include "shared/DamageTable.h"
#include "shared/ParsedLog.h"

namespace ombrel {
namespace {

constexpr int kGap = 18;

// The same numbers on every run: a small linear congruential generator.
struct Lcg {
  uint64_t state = 12345;
  uint32_t Next(uint32_t bound) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<uint32_t>(state >> 33) % bound;
  }
};

// Fights in pulls of one to eight, the pulls up to a minute apart.
const std::vector<EventRecord>& ManyFights() {
  static const std::vector<EventRecord> fights = [] {
    constexpr int kFights = 1'400'000;
    Lcg rng;
    std::vector<EventRecord> events(kFights);
    int64_t at = DateTime::FromCivil({2006, 1, 2, 20, 0, 0})->seconds;
    for (int i = 0; i < kFights; ++i) {
      if (rng.Next(5) == 0) at += 1 + rng.Next(60);
      events[i].StartDate = DateTime{at + rng.Next(10)};
      events[i].EndDate = DateTime{events[i].StartDate.seconds + rng.Next(40)};
    }
    return events;
  }();
  return fights;
}

void BM_GroupEncounters(benchmark::State& state) {
  const std::vector<EventRecord>& fights = ManyFights();
  for (auto _ : state) {
    Encounters grouped = GroupEncounters(fights, kGap);
    benchmark::DoNotOptimize(grouped);
  }
}
BENCHMARK(BM_GroupEncounters)->Unit(benchmark::kMillisecond);

// 2,000 fights of 40 different mobs, all at once over ten minutes, fought by
// 100 combatants: 60 records each.
const ParsedLog& OneBigEncounter() {
  static const ParsedLog g = [] {
    constexpr int kFights = 2000, kRecordsEach = 60, kCombatants = 100, kMobs = 40;
    std::vector<std::string> names, mobs;
    for (int c = 0; c < kCombatants; ++c) names.push_back("Fighter" + std::to_string(1000 + c));
    for (int m = 0; m < kMobs; ++m) mobs.push_back("a cave beast " + std::to_string(m));
    Lcg rng;
    const int64_t start = DateTime::FromCivil({2006, 1, 2, 20, 0, 0})->seconds;
    std::vector<DamageRecord> records;
    std::vector<EventRecord> events(kFights);
    // The records in time order, each fight's records spread over its span.
    for (int i = 0; i < kFights * kRecordsEach; ++i) {
      const int f = static_cast<int>(rng.Next(kFights));
      const std::string& mob = mobs[static_cast<size_t>(f % kMobs)];
      const std::string& who = names[rng.Next(kCombatants)];
      const DateTime date{start + i / (kFights * kRecordsEach / 600)};
      const bool taken = rng.Next(4) == 0;
      const int32_t damage = static_cast<int32_t>(rng.Next(500));
      records.push_back({date, taken ? mob : who, taken ? who : mob, damage, 0, kMelee, "hits",
                         static_cast<int32_t>(i)});
      EventRecord& e = events[static_cast<size_t>(f)];
      if (e.Name.empty()) {
        e.Name = mob;
        e.StartCounter = i;
        e.StartDate = date;
      }
      e.EndCounter = i;
      e.EndDate = date;
      (taken ? e.DamageDealt : e.DamageTaken) += damage;
      ++(taken ? e.HitsDealt : e.HitsTaken);
    }
    for (EventRecord& e : events) e.Duration = DurationSeconds(e.StartDate, e.EndDate);
    return ParsedLog(DamageTable::FromRecords(records), {}, std::move(events));
  }();
  return g;
}

// What choosing the encounter shows: the event detail, its list and chart.
void BM_EncounterDetailAndChart(benchmark::State& state) {
  const ParsedLog& g = OneBigEncounter();
  std::vector<int32_t> all;
  for (int32_t n = 1; n <= 2000; ++n) all.push_back(n);
  const FightSelection selection(all);
  for (auto _ : state) {
    const FightUnion fights(g, selection);
    TimelineCollector collector(fights);
    const EventDetail detail = BuildEventDetail(fights, true, collector.Sink());
    TextTable list = EventDetailListRows(detail.rows);
    const Timeline timeline = collector.Finish(detail.rows);
    DpsChart chart = MovingWindowDps(timeline, kDefaultDpsWindow);
    benchmark::DoNotOptimize(list);
    benchmark::DoNotOptimize(chart);
  }
}
BENCHMARK(BM_EncounterDetailAndChart)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ombrel

BENCHMARK_MAIN();
