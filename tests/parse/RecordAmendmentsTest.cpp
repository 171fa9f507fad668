#include <gtest/gtest.h>

#include "parse/LogText.h"
#include "parse/RecordMatchers.h"

namespace ombrel::testing {
namespace {

constexpr std::string_view kNextSecond = "[Mon Jan 02 15:04:06 2006] ";

TEST(CastMerge, ANonMeleeHitCompletesTheCastBeforeIt) {
  const auto r =
      Parse(Log({At("[Mon Jan 02 15:04:01 2006] ", "You begin casting Fire Shard."),
                 Line("You hit a gnoll for 300 points of non-melee damage."),
                 Line("Soandso begins to cast a spell. <Ice Comet>"),
                 Line("Soandso hits a gnoll for 250 points of non-melee damage."),
                 Line("Soandso begins to cast a spell. <Ice Comet>"),
                 Line("You hit a gnoll for 40 points of non-melee damage."),
                 Line("You begin casting Bolt."), Line("You hit a gnoll for 7 points of damage."),
                 Line("You hit a gnoll for 8 points of non-melee damage.")}));
  const DamageTable& t = r.DamageTable;
  ASSERT_EQ(t.size(), 7u);
  // The cast keeps its own date, dealer, name and line number.
  ExpectRecord(t, 0, {kName, "a gnoll", 300, kNonMelee, "Fire Shard", 0});
  EXPECT_EQ(t[0].Date, Civil(2006, 1, 2, 15, 4, 1));
  // Another caster's cast merges with that caster's own hit.
  ExpectRecord(t, 1, {"Soandso", "a gnoll", 250, kNonMelee, "Ice Comet", 2});
  // Not with somebody else's hit.
  ExpectRecord(t, 2, {"Soandso", "", 0, kSpellCast, "Ice Comet", 4});
  ExpectRecord(t, 3, {kName, "a gnoll", 40, kNonMelee, "hit", 5});
  // A melee hit between them keeps a cast from merging.
  ExpectRecord(t, 4, {kName, "", 0, kSpellCast, "Bolt", 6});
  ExpectRecord(t, 5, {kName, "a gnoll", 7, kMelee, "hit", 7});
  ExpectRecord(t, 6, {kName, "a gnoll", 8, kNonMelee, "hit", 8});
}

TEST(CastMerge, OnlyAgainstTheLastKeptRecord) {
  // The line between cast and hit yields nothing (chat, unreadable line), so they still merge.
  const auto r = Parse(Log({Line("You begin casting Bolt."), Line("Soandso says, 'hi'"),
                            Line("You hit a gnoll for lots of damage, points of non-melee damage"),
                            Line("You hit a gnoll for 5 points of non-melee damage.")}));
  ASSERT_EQ(r.DamageTable.size(), 1u);
  ExpectRecord(r.DamageTable, 0, {kName, "a gnoll", 5, kNonMelee, "Bolt", 0});
  EXPECT_EQ(r.unreadable_lines, 1);
}

TEST(SpecialNames, RenameTheLastNonMeleeHitOfTheSameSecond) {
  const auto r =
      Parse(Log({Line("A gnoll is enveloped in ethereal energy."),  // no record yet
                 Line("You hit a gnoll for 50 points of non-melee damage."),
                 Line("A gnoll is enveloped in ethereal energy."),
                 Line("You hit a gnoll for 60 points of non-melee damage."),
                 At(kNextSecond, "A gnoll is enveloped in ethereal energy."),
                 At(kNextSecond, "Soandso hits a gnoll for 70 points of non-melee damage."),
                 At(kNextSecond, "A gnoll quivers as a bolt of energy surges through them."),
                 At(kNextSecond, "You hit a gnoll for 80 points of damage."),
                 At(kNextSecond, "A gnoll quivers as a bolt of energy surges through them."),
                 At(kNextSecond,
                    "You hit a gnoll for 9 points of non-melee damage. A gnoll "
                    "is enveloped in ethereal energy.")}));
  const DamageTable& t = r.DamageTable;
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[0].Name, "Mana Resurgence Strike");
  EXPECT_EQ(t[0].Type, kNonMelee);
  EXPECT_EQ(t[1].Name, "hit");  // the special message came one second later
  EXPECT_EQ(t[2].Name, "Storm Blade Strike");
  EXPECT_EQ(t[3].Name, "hit");  // melee hits are never renamed
  // The hit and the message in one line: the rename follows the hit's rule.
  EXPECT_EQ(t[4].Name, "Mana Resurgence Strike");
  EXPECT_EQ(t[4].Counter, 9);
  EXPECT_EQ(r.unreadable_lines, 0);
}

TEST(SpecialNames, NeedTheExactMessage) {
  const auto r = Parse(Log({Line("You hit a gnoll for 50 points of non-melee damage."),
                            Line("A gnoll is enveloped in ethereal energy"),
                            Line("A gnoll quivers as a bolt of energy surges through him."),
                            Line("A gnoll is enveloped in Ethereal energy.")}));
  ASSERT_EQ(r.DamageTable.size(), 1u);
  EXPECT_EQ(r.DamageTable[0].Name, "hit");
}

}  // namespace
}  // namespace ombrel::testing
