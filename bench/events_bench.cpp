// Building events from the records of a 200 MB generated log, next to the
// parse of the same log, so the two can be compared.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <variant>

#include "events/BuildEvents.h"
#include "loggen/LogGen.h"
#include "parse/ParseLog.h"
#include "shared/AttackVerbs.h"

namespace ombrel {
namespace {

namespace fs = std::filesystem;

constexpr uint64_t kLogBytes = uint64_t{200} << 20;
constexpr std::string_view kCharacter = "Tarlen";

// The log is generated once and kept in the temporary folder between runs.
const fs::path& BenchLog() {
  static const fs::path path = [] {
    const fs::path p = fs::temp_directory_path() / "ombrel-events-bench-200M-seed1.txt";
    std::error_code ec;
    if (fs::file_size(p, ec) < kLogBytes || ec) {
      loggen::Options options;
      options.seed = 1;
      options.target_bytes = kLogBytes;
      options.character = std::string(kCharacter);
      std::ofstream out(p, std::ios::binary | std::ios::trunc);
      loggen::Generate(options, out);
    }
    return p;
  }();
  return path;
}

ParseResult ParseBenchLog() {
  auto parsed = ParseLog(BenchLog(), kCharacter, kAttackVerbs);
  if (auto* failure = std::get_if<Failure>(&parsed)) {
    std::fprintf(stderr, "%s\n", failure->Message().c_str());
    std::exit(1);
  }
  return std::move(std::get<ParseResult>(parsed));
}

const ParseResult& Parsed() {
  static const ParseResult result = ParseBenchLog();
  return result;
}

void BM_ParseLog(benchmark::State& state) {
  const auto bytes = static_cast<int64_t>(fs::file_size(BenchLog()));
  for (auto _ : state) {
    ParseResult result = ParseBenchLog();
    benchmark::DoNotOptimize(result.DamageTable.size());
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_BuildEvents(benchmark::State& state) {
  const ParseResult& parsed = Parsed();
  const auto bytes = static_cast<int64_t>(fs::file_size(BenchLog()));
  size_t events = 0;
  for (auto _ : state) {
    const auto built = BuildEvents(parsed.DamageTable, parsed.MobList, 18);
    events = built.size();
    benchmark::DoNotOptimize(built.data());
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["records"] = static_cast<double>(parsed.DamageTable.size());
  state.counters["events"] = static_cast<double>(events);
}

void BM_EventsListRows(benchmark::State& state) {
  const ParseResult& parsed = Parsed();
  const auto events = BuildEvents(parsed.DamageTable, parsed.MobList, 18);
  for (auto _ : state) {
    const TextTable list = EventsListRows(events);
    benchmark::DoNotOptimize(list.Rows());
  }
  state.counters["events"] = static_cast<double>(events.size());
}

BENCHMARK(BM_ParseLog)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BuildEvents)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EventsListRows)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ombrel

BENCHMARK_MAIN();
