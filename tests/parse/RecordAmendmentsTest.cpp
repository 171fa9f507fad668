#include <gtest/gtest.h>

#include <string>

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
  ExpectRecords(r.DamageTable,
                {// The cast keeps its own date, dealer, name and line number.
                 {kName, "a gnoll", 300, kNonMelee, "Fire Shard", 0},
                 // Another caster's cast merges with that caster's own hit...
                 {"Soandso", "a gnoll", 250, kNonMelee, "Ice Comet", 2},
                 // ...not with somebody else's.
                 {"Soandso", "", 0, kSpellCast, "Ice Comet", 4},
                 {kName, "a gnoll", 40, kNonMelee, "hit", 5},
                 // A melee hit between them keeps a cast from merging.
                 {kName, "", 0, kSpellCast, "Bolt", 6},
                 {kName, "a gnoll", 7, kMelee, "hit", 7},
                 {kName, "a gnoll", 8, kNonMelee, "hit", 8}});
  EXPECT_EQ(r.DamageTable[0].Date, Civil(2006, 1, 2, 15, 4, 1));

  // Only against the last kept record: lines between cast and hit that yield
  // nothing (chat, an unreadable line) do not keep them apart.
  const auto kept =
      Parse(Log({Line("You begin casting Bolt."), Line("Soandso says, 'hi'"),
                 Line("You hit a gnoll for lots of damage, points of non-melee damage"),
                 Line("You hit a gnoll for 5 points of non-melee damage.")}));
  ExpectRecords(kept.DamageTable, {{kName, "a gnoll", 5, kNonMelee, "Bolt", 0}});
  EXPECT_EQ(kept.unreadable_lines, 1);
}

TEST(SpecialNames, RenameTheLastNonMeleeHitOfTheSameSecond) {
  const auto r = Parse(Log({
      Line("A gnoll is enveloped in ethereal energy."),  // no record yet
      Line("You hit a gnoll for 50 points of non-melee damage."),
      Line("A gnoll is enveloped in ethereal energy."),
      Line("You hit a gnoll for 60 points of non-melee damage."),
      At(kNextSecond, "A gnoll is enveloped in ethereal energy."),
      At(kNextSecond, "Soandso hits a gnoll for 70 points of non-melee damage."),
      At(kNextSecond, "A gnoll quivers as a bolt of energy surges through them."),
      At(kNextSecond, "You hit a gnoll for 80 points of damage."),
      At(kNextSecond, "A gnoll quivers as a bolt of energy surges through them."),
      At(kNextSecond,
         "You hit a gnoll for 9 points of non-melee damage. A gnoll is enveloped in ethereal "
         "energy."),
      At(kNextSecond, "You hit a gnoll for 50 points of non-melee damage."),
      At(kNextSecond, "A gnoll is enveloped in ethereal energy"),
      At(kNextSecond, "A gnoll quivers as a bolt of energy surges through him."),
      At(kNextSecond, "A gnoll is enveloped in Ethereal energy."),
      At(kNextSecond, "You hit a gnoll for 10 points of non-melee damage."),
      At(kNextSecond, "Soandso tells you, 'a gnoll is enveloped in ethereal energy.'"),
      At("[Mon Foo 02 15:04:06 2006] ", "A gnoll is enveloped in ethereal energy."),
  }));
  // Line 3: the special message came one second later; melee hits are never
  // renamed; in one line with the hit, the rename follows the hit's rule;
  // lines 11 to 13 are not the exact messages; chat renames like any line;
  // a message whose time cannot be read renames nothing.
  std::string names;
  for (size_t k = 0; k < r.DamageTable.size(); ++k)
    names += std::string(r.DamageTable[k].Name) + "|";
  EXPECT_EQ(names,
            "Mana Resurgence Strike|hit|Storm Blade Strike|hit|Mana Resurgence Strike|hit|"
            "Mana Resurgence Strike|");
  EXPECT_EQ(r.DamageTable[0].Type, kNonMelee);
  EXPECT_EQ(r.DamageTable[4].Counter, 9);
  EXPECT_EQ(r.unreadable_lines, 1);
}

}  // namespace
}  // namespace ombrel::testing
