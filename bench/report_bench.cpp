// The event-detail report of one event with many combatants: every row
// unfolds into that combatant's attacks, so the report must not walk the
// whole event once per row.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "analysis/EventDetail.h"
#include "report/Reports.h"
#include "shared/DamageTable.h"
#include "shared/ListColumns.h"
#include "shared/ParsedLog.h"

namespace ombrel {
namespace {

constexpr std::string_view kOpponent = "an ancient dragon";
// The list is built with pets on their owners' rows.
constexpr bool kIncludePets = true;

class Discard : public std::streambuf {
 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
  int_type overflow(int_type ch) override { return traits_type::not_eof(ch); }
};

// One event in which `combatants` fighters hit, miss and are hit once each,
// with a pet hitting for every tenth of them.
ParsedLog CrowdedEvent(int combatants) {
  static std::vector<std::string> names;
  names.clear();
  names.reserve(static_cast<size_t>(combatants) * 2);
  for (int c = 0; c < combatants; ++c) {
    names.push_back("Fighter" + std::to_string(100000 + c));
    names.push_back(names.back() + "`s pet");
  }
  std::vector<DamageRecord> records;
  const DateTime start = DateTime::FromCivil({2006, 1, 2, 20, 0, 0}).value();
  int64_t counter = 0;
  for (int c = 0; c < combatants; ++c) {
    const std::string_view fighter = names[2 * static_cast<size_t>(c)];
    const std::string_view pet = names[2 * static_cast<size_t>(c) + 1];
    const DateTime at{start.seconds + c / 100};
    records.push_back({at, fighter, kOpponent, 100 + c % 50, 0, kMelee, "slashes", counter++});
    records.push_back({at, fighter, kOpponent, 0, 0, kMiss, "slash", counter++});
    records.push_back({at, kOpponent, fighter, 70, 0, kMelee, "claws", counter++});
    if (c % 10 == 0) records.push_back({at, pet, kOpponent, 30, 0, kMelee, "bites", counter++});
  }
  EventRecord e;
  e.Name = std::string(kOpponent);
  e.EndCounter = static_cast<int64_t>(records.size()) - 1;
  e.StartDate = records.front().Date;
  e.EndDate = records.back().Date;
  e.Duration = DurationSeconds(e.StartDate, e.EndDate);
  return ParsedLog(DamageTable::FromRecords(records), {}, {e});
}

void BM_EventDetailReport(benchmark::State& state) {
  const ParsedLog g = CrowdedEvent(static_cast<int>(state.range(0)));
  const EventDetail analysis = BuildEventDetail(g, 1, kIncludePets);
  const TextTable detail = EventDetailListRows(analysis.rows);
  TextTable events = EmptyList<EventsColumn>();
  events.AddRow(std::vector<std::string>(At(EventsColumn::kCount), std::string(kOpponent)));
  Discard discard;
  std::ostream out(&discard);
  for (auto _ : state) {
    WriteEventDetailReport(out, {g, 1, analysis, kIncludePets, events, detail},
                           "01/02/2006 20:00:00");
  }
  state.counters["rows"] = static_cast<double>(detail.Rows());
}
BENCHMARK(BM_EventDetailReport)->Arg(5000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ombrel

BENCHMARK_MAIN();
