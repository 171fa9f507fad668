// Times one parse of a log and the events built from it, writing no file:
//   parse_events_time LOG NAME
// prints the wall-clock seconds, then the lines, records and events.
#include <chrono>
#include <cstdio>
#include <string>
#include <variant>

#include "events/BuildEvents.h"
#include "parse/ParseLog.h"
#include "shared/AttackVerbs.h"

int main(int argc, char** argv) {
  using namespace ombrel;
  if (argc != 3) {
    std::fprintf(stderr, "usage: parse_events_time LOG NAME\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  auto parsed = ParseLog(argv[1], argv[2], kAttackVerbs);
  if (auto* failure = std::get_if<Failure>(&parsed)) {
    std::fprintf(stderr, "%s\n", failure->Message().c_str());
    return 1;
  }
  const ParseResult& result = std::get<ParseResult>(parsed);
  const auto events = BuildEvents(result.DamageTable, result.MobList, 18);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%.3f %lld %zu %zu\n", took.count(), static_cast<long long>(result.lines),
              result.DamageTable.size(), events.size());
  return 0;
}
