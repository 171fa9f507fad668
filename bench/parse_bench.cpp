// Parsing a 200 MB generated log: from the file (read and classify), from
// memory (classify only), and writing its Data.csv.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <variant>

#include <unistd.h>

#include "loggen/LogGen.h"
#include "parse/DataCsv.h"
#include "parse/ParseLog.h"
#include "shared/AttackVerbs.h"

namespace ombrel {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCharacter = "Tarlen";

uint64_t LogBytes() {
  uint64_t bytes = uint64_t{200} << 20;
  if (const char* size = std::getenv("OMBREL_BENCH_LOG_SIZE")) loggen::ParseSize(size, bytes);
  return bytes;
}

// The log is generated once per run into the temporary folder and removed at exit.
struct BenchLog {
  fs::path path;
  std::string bytes;

  BenchLog() {
    path =
        fs::temp_directory_path() / ("ombrel-parse-bench-" + std::to_string(::getpid()) + ".txt");
    loggen::Options options;
    options.seed = 1;
    options.target_bytes = LogBytes();
    options.character = std::string(kCharacter);
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      loggen::Generate(options, out);
    }
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  ~BenchLog() {
    std::error_code ec;
    fs::remove(path, ec);
  }
};

const BenchLog& Log() {
  static const BenchLog log;
  return log;
}

ParseResult Parse() {
  auto parsed = ParseLog(Log().path, kCharacter, kAttackVerbs);
  if (auto* failure = std::get_if<Failure>(&parsed)) {
    std::fprintf(stderr, "%s\n", failure->Message().c_str());
    std::exit(1);
  }
  return std::move(std::get<ParseResult>(parsed));
}

void BM_ParseLog(benchmark::State& state) {
  const auto bytes = static_cast<int64_t>(Log().bytes.size());
  int64_t records = 0;
  for (auto _ : state) {
    ParseResult result = Parse();
    records = static_cast<int64_t>(result.DamageTable.size());
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_ParseLog)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ParseLogText(benchmark::State& state) {
  const std::string& log = Log().bytes;
  for (auto _ : state) {
    ParseResult result = ParseLogText(log, kCharacter, kAttackVerbs);
    benchmark::DoNotOptimize(result);
    state.PauseTiming();
    result = ParseResult();  // freeing the table is not the parse's time
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(log.size()));
}
BENCHMARK(BM_ParseLogText)->Unit(benchmark::kMillisecond)->UseRealTime();

// Counts what Data.csv would hold and throws it away.
class CountingBuffer : public std::streambuf {
 public:
  int64_t bytes = 0;

 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override {
    bytes += n;
    return n;
  }
  int_type overflow(int_type ch) override {
    ++bytes;
    return traits_type::not_eof(ch);
  }
};

void BM_WriteDataCsv(benchmark::State& state) {
  const ParseResult parsed = Parse();
  int64_t written = 0;
  for (auto _ : state) {
    CountingBuffer sink;
    std::ostream out(&sink);
    WriteDataCsv(out, parsed.DamageTable);
    written = sink.bytes;
  }
  state.SetBytesProcessed(state.iterations() * written);
  state.counters["records"] = static_cast<double>(parsed.DamageTable.size());
}
BENCHMARK(BM_WriteDataCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace ombrel

BENCHMARK_MAIN();
