#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "parse/LogParser.h"
#include "parse/LogText.h"
#include "parse/ReferenceParse.h"
#include "support/GeneratedLog.h"

namespace ombrel::testing {
namespace {

std::string Generated(uint64_t seed, uint64_t bytes, uint32_t malformed_kinds, double rate,
                      bool extended_kinds = false) {
  return GeneratedLog(seed, bytes, [&](auto& o) {
    o.malformed_rate = rate;
    o.malformed_kinds = malformed_kinds;
    o.clock_goes_back = true;
    o.extended_kinds = extended_kinds;
  });
}

TEST(GeneratedLog, FastParserAgreesWithTheRulesOnRealisticLogs) {
  for (const uint64_t seed : {1, 2, 3}) {
    // Logs with the kinds of older and newer logs, read by either rule set.
    const bool extended_kinds = seed != 1;
    const LineRules rules = seed == 3 ? LineRules::kExtended : LineRules::kDefault;
    const std::string log = Generated(seed, 1 << 20, loggen::kMalformedAll, 0.01, extended_kinds);
    const ParseResult fast = ParseLogText(log, "Tarlen", AttackVerbsOf(rules), rules);
    const ReferenceResult slow = ReferenceParse(log, "Tarlen", AttackVerbsOf(rules), rules);
    EXPECT_EQ(fast.lines, slow.lines);
    EXPECT_EQ(fast.unreadable_lines, slow.unreadable_lines);
    EXPECT_GT(fast.DamageTable.size(), static_cast<size_t>(fast.lines / 3));
    ASSERT_EQ(ToReference(fast.DamageTable), slow.records) << "seed " << seed;
    ASSERT_EQ(fast.MobList.size(), slow.mobs.size());
    for (size_t k = 0; k < slow.mobs.size(); ++k) EXPECT_EQ(fast.MobList[k], slow.mobs[k]);
    if (rules != LineRules::kExtended) continue;
    // Damage over time by others in both orders (the newer one from the log's
    // second half on) is read right: no spell is taken for its caster, who
    // deals or takes something else as well.
    ASSERT_NE(log.find(" damage from Venom Creep by "), std::string::npos);
    std::set<std::string_view> parties;
    for (size_t k = 0; k < fast.DamageTable.size(); ++k) {
      const DamageRecord r = fast.DamageTable[k];
      if (r.Type != kDamageOverTime) parties.insert({r.Dealer, r.Taker});
    }
    for (size_t k = 0; k < fast.DamageTable.size(); ++k) {
      const DamageRecord r = fast.DamageTable[k];
      if (r.Type == kDamageOverTime) {
        EXPECT_TRUE(parties.contains(r.Dealer)) << r.Dealer;
      }
    }
  }
  // The harmless kinds of malformed lines leave nothing unreadable.
  const std::string harmless = Generated(5, 512 << 10, loggen::kMalformedHarmless, 0.01);
  const ParseResult r = ParseLogText(harmless, "Tarlen");
  EXPECT_EQ(r.unreadable_lines, 0);
  EXPECT_EQ(r.lines, std::count(harmless.begin(), harmless.end(), '\n') + 1);
}

TEST(GeneratedLog, PiecesOfAnySizeParseAsTheWholeLog) {
  // Line ends split between pieces, lone CRs and LFs, empty lines and a last
  // line without its end, on top of a realistic log, under both rule sets.
  std::string log = Generated(7, 256 << 10, loggen::kMalformedAll, 0.02, true);
  log += "\r\n\r\r\n\n\r\n[Mon Jan 02 15:04:05 2006] You hit a rat for 3 points of damage.\r";
  auto written = [](const ParseResult& r) {
    std::vector<std::tuple<size_t, std::string_view, std::string_view>> names;
    for (const WrittenNames& w : r.written_names) names.emplace_back(w.index, w.Dealer, w.Taker);
    return names;
  };
  const size_t slow_default_records = ReferenceParse(log, "Tarlen").records.size();
  std::mt19937 random(12);
  for (const LineRules rules : {LineRules::kDefault, LineRules::kExtended}) {
    const ParseResult whole = ParseLogText(log, "Tarlen", AttackVerbsOf(rules), rules);
    const ReferenceResult slow = ReferenceParse(log, "Tarlen", AttackVerbsOf(rules), rules);
    ASSERT_EQ(ToReference(whole.DamageTable), slow.records);
    // Pieces of one size, shared out over 1, 2 or 7 threads in stretches of
    // a line or more (threads 0: the default sharing); size 0: pieces of
    // random sizes; size -1: the whole log.
    // clang-format off
    const std::vector<std::tuple<size_t, unsigned, size_t>> runs = {
        {1, 1, 1}, {2, 1, 1}, {3, 2, 1}, {7, 7, 1}, {4096, 1, 1}, {4096, 2, 1}, {4096, 7, 1},
        {4096, 7, 700}, {0, 1, 1}, {0, 2, 1}, {0, 7, 1}, {size_t(-1), 2, 1}, {size_t(-1), 7, 1},
        {size_t(-1), 7, 9000}, {size_t(-1), 0, 256 << 10}};
    // clang-format on
    for (const auto& [piece, threads, chunk_bytes] : runs) {
      LogParser parser("Tarlen", AttackVerbsOf(rules), rules, log.size(), {threads, chunk_bytes});
      for (size_t at = 0; at < log.size();) {
        const size_t size =
            piece != 0 ? piece : std::uniform_int_distribution<size_t>(0, 300)(random);
        parser.Feed(std::string(log.substr(at, size)));  // each piece gone after Feed
        at += std::min(size, log.size() - at);
      }
      const ParseResult r = parser.Finish();
      const std::string run = std::to_string(piece) + " bytes, " + std::to_string(threads) +
                              " threads, " + std::to_string(chunk_bytes);
      EXPECT_EQ(r.lines, whole.lines) << run;
      EXPECT_EQ(r.unreadable_lines, whole.unreadable_lines) << run;
      EXPECT_TRUE(r.signs == whole.signs) << run;  // stretches add up as the whole log
      ASSERT_EQ(ToReference(r.DamageTable), slow.records) << run;
      EXPECT_EQ(r.MobList, whole.MobList) << run;
      EXPECT_EQ(written(r), written(whole)) << run;
    }
  }
  // The same log with its CRs dropped: LF ends lines, in pieces as whole.
  std::string lf_log;
  for (const char ch : log)
    if (ch != '\r') lf_log += ch;
  const ParseResult lf_whole = ParseLogText(lf_log, "Tarlen");
  EXPECT_EQ(lf_whole.lines, std::count(lf_log.begin(), lf_log.end(), '\n') + 1);
  // Held until the end, or classified as it comes by a caller that knows.
  for (const auto& [threads, known, piece] :
       {std::tuple{1u, false, 7}, {7u, false, 7}, {1u, true, 7}, {7u, true, 7}, {7u, true, 4096}}) {
    LogParser lf_parser("Tarlen", kAttackVerbs, LineRules::kDefault, 0, {threads, 1});
    if (known) lf_parser.LinesEndAtLf();
    for (size_t at = 0; at < lf_log.size(); at += piece) lf_parser.Feed(lf_log.substr(at, piece));
    const ParseResult lf_pieces = lf_parser.Finish();
    EXPECT_EQ(lf_pieces.lines, lf_whole.lines);
    EXPECT_EQ(ToReference(lf_pieces.DamageTable), ToReference(lf_whole.DamageTable));
    EXPECT_EQ(lf_pieces.MobList, lf_whole.MobList);
  }
  EXPECT_GT(lf_whole.DamageTable.size(), slow_default_records / 2);

  LogParser empty("Tarlen", kAttackVerbs);
  empty.Feed("");
  EXPECT_EQ(empty.Finish().lines, 0);
}

}  // namespace
}  // namespace ombrel::testing
