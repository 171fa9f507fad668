#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <sstream>
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

// Pieces of combat messages, literals of the rules and their near misses.
// clang-format off
const std::vector<std::string> kPieces = {
    "You", "YOU", "you", "Tarlen", "A gnoll", "a gnoll", "Soandso", "Soandso`s pet", "Zo\xEB", " ",
    " ", " ", "  ", ",", ", but ", ".", "!", "<", ">", "'", "\r", "\n", std::string(1, '\0'), "hit",
    "hits", "slash", "slashes", "frenzies on", "frenzy on", "bites", "burn", "shoot", " for ",
    "for", " point of damage", " points of damage", " point of non-melee damage",
    " points of non-melee damage", " point ", " points ", "of damage", "of non-melee damage",
    "damage", " damage", "damage from", "damage from your", "damage from your ", " by ",
    "has taken", "has taken ", "You have taken", "You have healed", "has healed you for",
    "healed you", "healed", "tries to", "tries to ", " tries", "but misses!", " but misses!",
    ", but misses!", " parries!", " dodges!", " ripostes!", " blocks!", "begins to cast a spell. ",
    " begins", "begin casting", "casting", "casting ", " tell ", " tells ", " tell", " -> ", " <- ",
    "to your guild", "is enveloped in ethereal energy.", "energy", " surges through them.",
    "quivers as a bolt of energy surges through them.", "0", "7", "12", "-3", "+5", "300",
    "2147483647", "2147483648", "-2147483648", "99999999999", "lots", "Fire Shard", "Poison Bolt.",
    // The extended rules' literals.
    "You try to ", "You try to", ", but miss!", ", but YOU parry!", ", but YOU dodge!",
    ", but YOU riposte!", ", but YOU block!", "You have taken ", " damage from ",
    " was hit by non-melee for ", " was hit by non-melee", " hit ", " damage by ", " points of ",
    " point of ", "fire", "yourself", "YOU are ", " is ", "burned", " by YOUR ", "YOUR ", "'s ",
    "'s thorns", " (Critical)", " (Lucky Critical)", "(", ")", ". (x)", "cleaves", "stab",
    "\xC9lan", "\xE9lan", "a gnoll`s pet", "A gnoll`s pet", "'s corpse", " Rk. II", " IV",
    // Heals, deaths and critical-hit announcements (extended rules).
    " healed ", " hit points", " over time ", "You have been healed for ", " points.",
    " has been slain by ", "You have slain ", " died.", "scores a critical hit!", " (310)",
    "(310)", "Your ", "You healed ", " performs an exceptional heal!", "'s holy blade cleanses "};
// clang-format on

const std::vector<std::string> kStamps = {
    "[Mon Jan 02 15:04:05 2006] ", "[Mon Jan 02 15:04:05 2006] ", "[Mon Jan 02 15:04:06 2006] ",
    "[Sun Dec 31 23:59:59 2006] ", "[Mon Jan  2  5: 4: 5 2006] ", "[Mon Foo 02 15:04:05 2006] ",
    "[Thu Feb 30 15:04:05 2006] ", "[Mon Jan 02 15:04",           "",
    "[Mon Jan 02 15:04:05 2006]"};

std::string RandomLog(std::mt19937& random, int lines) {
  std::string log;
  for (int i = 0; i < lines; ++i) {
    if (i > 0) log += "\r\n";
    log += kStamps[random() % kStamps.size()];
    const int pieces = static_cast<int>(random() % 12);
    for (int k = 0; k < pieces; ++k) log += kPieces[random() % kPieces.size()];
  }
  if (random() % 2 == 0) log += "\r\n";
  return log;
}

void ExpectAgreement(std::string_view log, std::string_view name,
                     LineRules rules = LineRules::kDefault) {
  const ParseResult fast = ParseLogText(log, name, AttackVerbsOf(rules), rules);
  const ReferenceResult slow = ReferenceParse(log, name, AttackVerbsOf(rules), rules);
  EXPECT_EQ(fast.lines, slow.lines);
  EXPECT_EQ(fast.unreadable_lines, slow.unreadable_lines);
  const std::vector<ReferenceRecord> records = ToReference(fast.DamageTable);
  ASSERT_EQ(records.size(), slow.records.size());
  for (size_t k = 0; k < records.size(); ++k) {
    ASSERT_EQ(records[k], slow.records[k])
        << "record " << k << ", line " << slow.records[k].Counter << ": " << slow.records[k].Dealer
        << " | " << slow.records[k].Taker << " | " << slow.records[k].Name;
  }
  ASSERT_EQ(fast.MobList.size(), slow.mobs.size());
  for (size_t k = 0; k < slow.mobs.size(); ++k) EXPECT_EQ(fast.MobList[k], slow.mobs[k]);
  // Shared out line by line over several threads: the same result.
  LogParser parser(name, AttackVerbsOf(rules), rules, log.size(), {7, 1});
  parser.Feed(log);
  const ParseResult shared = parser.Finish();
  EXPECT_EQ(shared.lines, slow.lines);
  EXPECT_EQ(shared.unreadable_lines, slow.unreadable_lines);
  ASSERT_EQ(ToReference(shared.DamageTable), slow.records);
  EXPECT_EQ(shared.MobList, fast.MobList);
}

TEST(ReferenceAgreement, RandomLinesOfRulePieces) {
  std::mt19937 random(20061);
  for (int round = 0; round < 200; ++round) {
    const std::string log = RandomLog(random, 100);
    ExpectAgreement(log, round % 3 == 0 ? "Soandso" : "Tarlen");
    ExpectAgreement(log, round % 3 == 0 ? "Soandso" : "Tarlen", LineRules::kExtended);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(ReferenceAgreement, TheAttackVerbsAreATable) {
  // Another table (blank-bearing and empty entries included) is followed just the same.
  AttackVerbTable verbs = kAttackVerbs;
  verbs[0] = "slash";
  verbs[1] = "";
  verbs[2] = " hits";
  verbs[3] = "of non-melee";
  std::mt19937 random(7);
  for (int round = 0; round < 50; ++round) {
    const std::string log = RandomLog(random, 100);
    const ParseResult fast = ParseLogText(log, kName, verbs);
    const ReferenceResult slow = ReferenceParse(log, kName, verbs);
    ASSERT_EQ(ToReference(fast.DamageTable), slow.records);
    EXPECT_EQ(fast.unreadable_lines, slow.unreadable_lines);
  }
}

TEST(GeneratedLog, DeathsHealsAndCritsOfAnExtendedKindsLog) {
  // The 41 lines of the first fight with every kind: the tagged cleave (line 10), the Blight
  // Touch on the owner (line 21) and Ann`s pet's hit (line 30) are the only critical hits.
  const std::string every = GeneratedLog(1, 3 << 10, [](auto& o) {
    o.malformed_rate = 0;
    o.extended_kinds = true;
    o.every_extended_kind = true;
  });
  const ParseResult first =
      ParseLogText(every, "Tarlen", kExtendedAttackVerbs, LineRules::kExtended);
  std::vector<int64_t> crits;
  for (size_t k = 0; k < first.DamageTable.size(); ++k)
    if (first.DamageTable[k].Crit != 0) crits.push_back(first.DamageTable[k].Counter);
  EXPECT_EQ(crits, (std::vector<int64_t>{9, 20, 29}));
  // A longer log: one death per mob the generator slew, every heal it wrote read as one.
  loggen::Options options;
  options.seed = 7;
  options.target_bytes = 64 << 10;
  options.malformed_rate = 0;
  options.extended_kinds = true;
  std::ostringstream out;
  const loggen::Stats stats = loggen::Generate(options, out);
  const std::string log = out.str();
  const ParseResult r = ParseLogText(log, "Tarlen", kExtendedAttackVerbs, LineRules::kExtended);
  EXPECT_EQ(r.DamageTable.DeathCount(), stats.mobs_slain);
  size_t healed_lines = 0;
  for (size_t at = log.find(" healed "); at != std::string::npos; at = log.find(" healed ", at + 1))
    ++healed_lines;
  EXPECT_EQ(r.DamageTable.HealCount(), healed_lines);
  EXPECT_GT(healed_lines, 5u);
}

}  // namespace
}  // namespace ombrel::testing
