#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "parse/LogText.h"
#include "parse/RecordMatchers.h"

namespace ombrel::testing {
namespace {

TEST(SpellCastRules, CastsByOthersAndByTheCharacter) {
  const auto r =
      Parse(Log({Line("Soandso begins to cast a spell. <Fire Shard>"),
                 Line("You begin casting Fire Shard."), Line("You begin casting  Greater Heal  ."),
                 Line("You begin casting ."), Line("Soandso begins to cast a spell. No bracket!"),
                 Line("Soandso begins to cast a spell.<no blank after the stop>"),
                 Line("You began casting Fire Shard.")}));
  ExpectRecords(r.DamageTable,
                {{"Soandso", "", 0, kSpellCast, "Fire Shard", 0},
                 {kName, "", 0, kSpellCast, "Fire Shard", 1},
                 {kName, "", 0, kSpellCast, "Greater Heal", 2},
                 {kName, "", 0, kSpellCast, "", 3},
                 // Without "<" the name starts at the first character of the line.
                 {"Soandso", "", 0, kSpellCast,
                  std::string(kStamp) + "Soandso begins to cast a spell. No bracket", 4}});
  EXPECT_EQ(r.DamageTable[0].Date, Civil(2006, 1, 2, 15, 4, 5));
  EXPECT_EQ(r.unreadable_lines, 0);
}

TEST(SpellCastRules, CastLinesThatCannotBeCut) {
  // "casting" at the very end: the name would have to end before it starts.
  const auto r = Parse(Log({Line("You begin casting"), Line("begins to cast a spell. <x>")}));
  EXPECT_EQ(r.DamageTable.size(), 0u);
  EXPECT_EQ(r.unreadable_lines, 2);
}

TEST(AvoidanceRules, EachMarkerGivesItsType) {
  const auto r = Parse(Log({Line("A gnoll tries to hit YOU, but misses!"),
                            Line("A gnoll tries to bite Soandso, but Soandso parries!"),
                            Line("You try to slash a gnoll, but a gnoll dodges!"),
                            Line("A gnoll tries to kick you, but YOU dodges!"),
                            Line("A gnoll tries to crush Soandso, but Soandso ripostes!"),
                            Line("A gnoll tries to slam Soandso, but Soandso blocks!")}));
  ExpectRecords(
      r.DamageTable,
      {{"A gnoll", "YOU", 0, kMiss, "hit", 0},
       {"A gnoll", "Soandso", 0, kParry, "bite", 1},
       // Line 2 lacks "tries to"; line 3's taker stays as written, never the character's name.
       {"A gnoll", "you", 0, kDodge, "kick", 3},
       {"A gnoll", "Soandso", 0, kRiposte, "crush", 4},
       {"A gnoll", "Soandso", 0, kBlock, "slam", 5}});
}

TEST(AvoidanceRules, VerbChoiceAndLinesWithoutAVerb) {
  const auto r = Parse(Log({Line("A gnoll tries to shoot YOU, but misses!"),
                            Line("A gnoll tries to  YOU, but misses!"),
                            Line("A gnoll hits tries to slash YOU, but misses!"),
                            Line("A gnoll tries to hit YOU but misses!"),
                            Line("A gnoll tries to hit YOU, but YOU parries! and blocks!")}));
  ExpectRecords(
      r.DamageTable,
      {{"A gnoll", "YOU", 0, kMiss, "", 0},
       // An empty first word: the taker starts after the second blank.
       {"A gnoll", "YOU", 0, kMiss, "", 1},
       // "slash" precedes "hits" in the table and wins, though it stands later in the line.
       {"A gnoll hits", "YOU", 0, kMiss, "slash", 2},
       // Line 3: no ", but misses!" to end the taker at.
       {"A gnoll", "YOU", 0, kParry, "hit", 4},
       {"A gnoll", "YOU", 0, kBlock, "hit", 4}});
  EXPECT_EQ(r.unreadable_lines, 1);
}

TEST(DamageOverTimeRules, OwnAndOthersTicks) {
  const auto r = Parse(Log({Line("A gnoll has taken 12 damage from your Poison Bolt."),
                            Line("A gnoll has taken 12 damage from Soandso by Poison Bolt."),
                            Line("A gnoll has taken  -7  damage from your  Drain  "),
                            Line("A gnoll has taken 3 damage from your Bolt by Soandso"),
                            Line("A gnoll has taken 12 damage from Soandso.")}));
  ExpectRecords(r.DamageTable, {{kName, "A gnoll", 12, kDamageOverTime, "Poison Bolt.", 0},
                                {"Soandso", "A gnoll", 12, kDamageOverTime, "Poison Bolt.", 1},
                                {kName, "A gnoll", -7, kDamageOverTime, "Drain", 2},
                                // Both rules hold for line 3: two records from one line.
                                {kName, "A gnoll", 3, kDamageOverTime, "Bolt by Soandso", 3},
                                {"your Bolt", "A gnoll", 3, kDamageOverTime, "Soandso", 3}});
  // Only the character's own ticks name mobs.
  EXPECT_EQ(r.MobList, (std::vector<std::string_view>{"A gnoll"}));
  EXPECT_EQ(r.unreadable_lines, 0);
}

TEST(DirectDamageRule, HitsByAndOnTheCharacter) {
  const auto r = Parse(Log({Line("You hit a gnoll for 20 points of damage."),
                            Line("A gnoll hits YOU for 15 points of damage."),
                            Line("Soandso slashes a gnoll for 1 point of damage."),
                            Line("You hit a gnoll for 300 points of non-melee damage."),
                            Line("A gnoll bites Soandso for 1 point of non-melee damage."),
                            Line("Soandso frenzies on a gnoll for 9 points of damage."),
                            Line("You kick a gnoll for some of damage.")}));
  ExpectRecords(r.DamageTable, {{kName, "a gnoll", 20, kMelee, "hit", 0},
                                {"A gnoll", kName, 15, kMelee, "hits", 1},
                                {"Soandso", "a gnoll", 1, kMelee, "slashes", 2},
                                {kName, "a gnoll", 300, kNonMelee, "hit", 3},
                                {"A gnoll", "Soandso", 1, kNonMelee, "bites", 4},
                                {"Soandso", "a gnoll", 9, kMelee, "frenzies on", 5},
                                // No amount phrase: kept with type 0 and no amount.
                                {kName, "a gnoll", 0, kUnreadAmount, "kick", 6}});
  EXPECT_EQ(r.DamageTable[0].Dealer.data(),
            r.DamageTable[3].Dealer.data());  // the one copy of the name
  EXPECT_EQ(r.unreadable_lines, 0);
}

TEST(DirectDamageRule, LinesTheRuleSkipsOrCannotRead) {
  const auto r = Parse(Log({Line("A gnoll shoots YOU for 15 points of damage."),  // no verb
                            Line("You hit a gnoll for lots points of damage."),
                            Line("You hit a gnoll for 99999999999 points of damage."),
                            Line("You hit a gnoll for 2147483648 points of damage."),
                            Line("You hit a gnoll with 20 points of damage."),  // no " for "
                            Line("Two points hit you for 5 points of damage."),
                            Line("You hit a gnoll for 2147483647 points of damage."),
                            Line("You hit a gnoll for -2147483648 points of damage.")}));
  // Line 5: " points " first stands in the dealer, so the amount would end before it starts.
  ExpectRecords(r.DamageTable, {{kName, "a gnoll", 2147483647, kMelee, "hit", 6},
                                {kName, "a gnoll", -2147483647 - 1, kMelee, "hit", 7}});
  EXPECT_EQ(r.unreadable_lines, 5);
  // Lines that could not be read register no mob either.
  EXPECT_EQ(r.MobList, (std::vector<std::string_view>{"a gnoll"}));
}

TEST(DamageGate, HealsSummariesAndChatNeverYieldDamage) {
  const auto r =
      Parse(Log({Line("You have taken 50 points of damage."),
                 Line("You have healed a gnoll for 5 points of damage."),
                 Line("Soandso has healed you for 5 points of damage."),
                 Line("Soandso heals, healed you for 5 points of damage."),
                 Line("Soandso hits healed you for 5 points of non-melee damage."),
                 Line("Soandso tells you, 'a gnoll hits you for 5 points of damage'"),
                 Line("Soandso tells the group, 'a gnoll tries to hit YOU, but misses!'"),
                 Line("A gnoll hits Soandso -> for 5 points of damage."),
                 Line("A gnoll hits Soandso <- for 5 points of damage."),
                 Line("Soandso says to your guild, 'You hit a gnoll for 2 points of damage.'"),
                 Line("You hit a gnoll for 5 points of Damage."),
                 Line("Soandso tell you hit a gnoll for 5 points of damage."),
                 Line("Soandso tellsyou hit a gnoll for 5 points of damage.")}));
  // "healed you" only stops "of damage", not "of non-melee damage".
  ExpectRecords(r.DamageTable, {{"Soandso", "healed you", 5, kNonMelee, "hits", 4},
                                {"Soandso tellsyou", "a gnoll", 5, kMelee, "hit", 12}});
}

TEST(Chatter, CastRulesIgnoreIt) {
  const auto r = Parse(Log({Line("Soandso tells you, 'You begin casting Fire Shard.'"),
                            Line("Soandso -> Other: Soandso begins to cast a spell. <Root>")}));
  ExpectRecords(r.DamageTable, {{kName, "", 0, kSpellCast, "Fire Shard.", 0},
                                {"Soandso -> Other: Soandso", "", 0, kSpellCast, "Root", 1}});
}

TEST(RuleOrder, OneLineMayYieldSeveralRecordsInRuleOrder) {
  const std::string line = Line(
      "Soandso begins to cast a spell. You begin casting Bolt; A gnoll tries to hit YOU, "
      "but YOU parries! A gnoll has taken 4 damage from your Bolt by Soandso for 3 points "
      "of damage");
  const auto r = Parse(Log({"first line", line}));
  // Types in rule order, all from line 1: two casts, the parry, two ticks, the hit.
  std::string types;
  for (size_t k = 0; k < r.DamageTable.size(); ++k) {
    types += std::to_string(r.DamageTable[k].Type) + "@" +
             std::to_string(r.DamageTable[k].Counter) + " ";
  }
  EXPECT_EQ(types, "4@1 4@1 6@1 3@1 3@1 1@1 ");
  const DamageTable& t = r.DamageTable;
  // The direct hit: verb "hit" (the first in table order), dealer up to it.
  EXPECT_EQ(std::tuple(t[0].Dealer, t[1].Dealer, t[3].Dealer, t[4].Dealer, t[5].Name, t[5].Damage),
            std::tuple("Soandso", kName, kName, "your Bolt", "hit", 3));
}

}  // namespace
}  // namespace ombrel::testing
