#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "loggen/LogGen.h"
#include "parse/LogText.h"
#include "parse/ReferenceParse.h"

namespace ombrel::testing {
namespace {

std::string Generated(uint64_t seed, uint64_t bytes, uint32_t malformed_kinds, double rate,
                      bool extended_kinds = false) {
  loggen::Options options;
  options.seed = seed;
  options.target_bytes = bytes;
  options.malformed_kinds = malformed_kinds;
  options.malformed_rate = rate;
  options.clock_goes_back = true;
  options.extended_kinds = extended_kinds;
  std::ostringstream out;
  loggen::Generate(options, out);
  return out.str();
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
  }
}

TEST(GeneratedLog, HarmlessLogsParseWithoutUnreadableLines) {
  const std::string log = Generated(5, 512 << 10, loggen::kMalformedHarmless, 0.01);
  const ParseResult r = ParseLogText(log, "Tarlen");
  EXPECT_EQ(r.unreadable_lines, 0);
  EXPECT_GT(r.MobList.size(), 1u);
  EXPECT_EQ(r.lines, std::count(log.begin(), log.end(), '\n') + 1);
}

}  // namespace
}  // namespace ombrel::testing
