// Times the refreshes of a followed log under each line rules: the log but
// its last stretch is read at once (the catch-up), then the rest arrives
// REFRESH_LINES lines at a time, as a game writes a second of a raid, and
// each arrival is fed and refreshed:
//   follow_refresh_time [--rules default|extended|both] LOG NAME [REFRESH_LINES [REFRESHES]]
// prints per rule set (both by default, one after the other) the catch-up's
// seconds, then per refresh the median, 90th and 99th percentile and largest
// milliseconds of the live parse and events alone (on the wall clock and in
// processor time) and with what the window adopts (the log over the shared
// table and events, the events list brought up to date as LogFollow does),
// and the log's lines, records, mobs and events; with both, the ratio of the
// extended rules' median and 99th percentile processor times to the default's.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/App.h"
#include "events/BuildEvents.h"
#include "events/LiveLog.h"
#include "shared/AttackVerbs.h"
#include "shared/ParsedLog.h"
#include "shared/TextTable.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Processor time of this thread, in milliseconds: unlike the wall clock it
// leaves out the time other programs on a busy machine took the core.
double ThreadMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Spread {
  double median = 0;
  double p99 = 0;
};

Spread PrintSpread(const char* rules, const char* what, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  const Spread spread{times[times.size() / 2], times[times.size() * 99 / 100]};
  std::printf("%s: %s: median %.3f ms, 90%% %.3f ms, 99%% %.3f ms, max %.3f ms\n", rules, what,
              spread.median, times[times.size() * 9 / 10], spread.p99, times.back());
  return spread;
}

// The catch-up and refreshes of `log` under `rules`; the spread of the live
// parse and events in processor time.
std::optional<Spread> Follow(const std::string& log, const char* name, ombrel::LineRules rules,
                             size_t refresh_lines, size_t refreshes) {
  using namespace ombrel;
  const char* label = rules == LineRules::kExtended ? "extended rules" : "default rules";
  // Where the last stretch starts: refresh_lines * refreshes lines before the end.
  size_t tail_start = log.size();
  for (size_t n = 0; n <= refresh_lines * refreshes && tail_start > 0; ++n) {
    const size_t end = log.rfind("\r\n", tail_start - 1);
    if (end == std::string::npos) break;
    tail_start = end;
  }
  tail_start = std::min(log.size(), tail_start + 2);

  const AttackVerbList verbs = AttackVerbsOf(rules);
  auto live = std::make_shared<LiveLog>(name, verbs, rules, 18, log.size());
  const auto start = Clock::now();
  constexpr size_t kPiece = size_t{4} << 20;
  for (size_t at = 0; at < tail_start; at += kPiece)
    live->Feed(std::string_view(log).substr(at, std::min(kPiece, tail_start - at)));
  live->Refresh();
  std::printf("%s: catch-up of %.1f MB: %.3f s\n", label, static_cast<double>(tail_start) / 1e6,
              std::chrono::duration<double>(Clock::now() - start).count());

  // What the window keeps: a log over the shared table and events, and the
  // events list, whose rows are rendered again only where a fight changed.
  std::vector<EventRecord> listed = live->Events();
  TextTable list = EventsListRows(listed);
  std::vector<double> live_times;
  std::vector<double> live_processor_times;
  std::vector<double> run_times;
  size_t at = tail_start;
  for (size_t k = 0; k < refreshes && at < log.size(); ++k) {
    size_t end = at;
    for (size_t n = 0; n < refresh_lines && end < log.size(); ++n) {
      const size_t line_end = log.find("\r\n", end);
      end = line_end == std::string::npos ? log.size() : line_end + 2;
    }
    const auto before = Clock::now();
    const double processor_before = ThreadMilliseconds();
    live->Feed(std::string_view(log).substr(at, end - at));
    live->Refresh();
    const auto parsed = Clock::now();
    live_processor_times.push_back(ThreadMilliseconds() - processor_before);
    const ParsedLog adopted_log(
        std::shared_ptr<const DamageTable>(live, &live->Table()), live->MobList(),
        std::shared_ptr<const std::vector<EventRecord>>(live, &live->Events()), verbs);
    UpdateEventsListRows(list, listed, live->Events());
    const auto adopted = Clock::now();
    live_times.push_back(Milliseconds(parsed - before));
    run_times.push_back(Milliseconds(adopted - before));
    at = end;
  }
  if (live_times.empty()) {
    std::fprintf(stderr, "the log is too short\n");
    return std::nullopt;
  }
  std::printf("%s: refreshes of %zu lines: %zu\n", label, refresh_lines, live_times.size());
  PrintSpread(label, "live parse and events", live_times);
  const Spread processor = PrintSpread(label, "the same in processor time", live_processor_times);
  PrintSpread(label, "with the run the window adopts", run_times);
  std::printf("%s: lines %lld, records %zu, mobs %zu, events %zu\n", label,
              static_cast<long long>(live->lines()), live->Table().size(), live->MobList().size(),
              live->Events().size());
  return processor;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace ombrel;
  std::vector<LineRules> rule_sets = {LineRules::kDefault, LineRules::kExtended};
  int first = 1;
  if (argc > 2 && std::string_view(argv[1]) == "--rules") {
    const std::string_view which = argv[2];
    if (which == "default") {
      rule_sets = {LineRules::kDefault};
    } else if (which == "extended") {
      rule_sets = {LineRules::kExtended};
    } else if (which != "both") {
      argc = 0;  // the usage below
    }
    first = 3;
  }
  const int given = argc - first;
  if (given < 2 || given > 4) {
    std::fprintf(stderr,
                 "usage: follow_refresh_time [--rules default|extended|both] LOG NAME "
                 "[REFRESH_LINES [REFRESHES]]\n");
    return 2;
  }
  const char* path = argv[first];
  const char* name = argv[first + 1];
  const size_t refresh_lines = given > 2 ? std::strtoul(argv[first + 2], nullptr, 10) : 200;
  const size_t refreshes = given > 3 ? std::strtoul(argv[first + 3], nullptr, 10) : 100;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot open\n", path);
    return 1;
  }
  const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  std::vector<Spread> spreads;
  for (const LineRules rules : rule_sets) {
    const std::optional<Spread> spread = Follow(log, name, rules, refresh_lines, refreshes);
    if (!spread) return 1;
    spreads.push_back(*spread);
  }
  if (spreads.size() == 2) {
    std::printf("extended against default in processor time: median %.2fx, 99%% %.2fx\n",
                spreads[1].median / spreads[0].median, spreads[1].p99 / spreads[0].p99);
  }
  return 0;
}
