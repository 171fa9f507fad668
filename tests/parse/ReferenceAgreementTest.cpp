#include <gtest/gtest.h>

#include <random>

#include "parse/LogParser.h"
#include "parse/LogText.h"
#include "parse/ReferenceParse.h"

namespace ombrel::testing {
namespace {

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
    "\xC9lan", "\xE9lan", "a gnoll`s pet", "A gnoll`s pet", "'s corpse", " Rk. II", " IV"};
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

}  // namespace
}  // namespace ombrel::testing
