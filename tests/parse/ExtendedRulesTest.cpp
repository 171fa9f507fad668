#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parse/LogText.h"
#include "parse/RecordMatchers.h"

namespace ombrel::testing {
namespace {

// One kind of line: a hand-made log and the records each rule set makes of it.
struct KindCase {
  const char* kind;
  std::vector<std::string> lines;
  std::vector<Expected> plain;
  std::vector<Expected> extended;
};

std::string Lines(const std::vector<std::string>& messages) {
  std::string log;
  for (const std::string& m : messages) log += (log.empty() ? "" : "\r\n") + Line(m);
  return log;
}

void Expect(const ParseResult& r, const std::vector<Expected>& expected, const char* kind,
            const char* rules) {
  SCOPED_TRACE(std::string(kind) + ", " + rules + " rules");
  ASSERT_EQ(r.DamageTable.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) ExpectRecord(r.DamageTable, k, expected[k]);
  EXPECT_EQ(r.unreadable_lines, 0);
}

TEST(ExtendedRules, EachKindInBothRuleSets) {
  const std::vector<KindCase> cases = {
      {"lines both sets read alike",
       {"You hit a gnoll for 20 points of damage.", "A gnoll has taken 12 damage from Ann by Rot.",
        "Soandso begins to cast a spell. <Fire Shard>"},
       {{kName, "a gnoll", 20, kMelee, "hit", 0},
        {"Ann", "A gnoll", 12, kDamageOverTime, "Rot.", 1},
        {"Soandso", "", 0, kSpellCast, "Fire Shard", 2}},
       {{kName, "a gnoll", 20, kMelee, "hit", 0},
        {"Ann", "a gnoll", 12, kDamageOverTime, "Rot.", 1},
        {"Soandso", "", 0, kSpellCast, "Fire Shard", 2}}},
      {"sentence capitals",
       {"Gorrum slashes a cave bat for 5 points of damage.",
        "A cave bat bites YOU for 3 points of damage."},
       {{"Gorrum", "a cave bat", 5, kMelee, "slashes", 0},
        {"A cave bat", kName, 3, kMelee, "bites", 1}},
       {{"Gorrum", "a cave bat", 5, kMelee, "slashes", 0},
        {"a cave bat", kName, 3, kMelee, "bites", 1}}},
      {"was hit by non-melee, merged with the cast",
       {"You begin casting Fire Shard.", "a cave bat was hit by non-melee for 12 points of damage.",
        "a cave bat was hit by non-melee for 1 point of damage."},
       {{kName, "", 0, kSpellCast, "Fire Shard", 0},
        {"a cave bat was", "by non-melee", 12, kMelee, "hit", 1},
        {"a cave bat was", "by non-melee", 1, kMelee, "hit", 2}},
       {{kName, "a cave bat", 12, kNonMelee, "Fire Shard", 0},
        {kName, "a cave bat", 1, kNonMelee, "hit", 2}}},
      {"the character's defences",
       {"A cave bat tries to bite YOU, but YOU parry!",
        "A cave bat tries to bite YOU, but YOU dodge!",
        "A cave bat tries to claw YOU, but YOU riposte!",
        "A cave bat tries to bite YOU, but YOU block!", "A cave bat tries to hit YOU, but misses!"},
       {{"A cave bat", "YOU", 0, kMiss, "hit", 4}},
       {{"A cave bat", kName, 0, kParry, "bite", 0},
        {"A cave bat", kName, 0, kDodge, "bite", 1},
        {"A cave bat", kName, 0, kRiposte, "claw", 2},
        {"A cave bat", kName, 0, kBlock, "bite", 3},
        {"A cave bat", kName, 0, kMiss, "hit", 4}}},
      {"the character's misses",
       {"You try to slash a cave bat, but miss!",
        "You try to slash a cave bat, but a cave bat parries!",
        "You try to kick a cave bat, but a cave bat dodges!",
        "You try to bash a cave bat, but a cave bat ripostes!",
        "You try to pierce a cave bat, but a cave bat blocks!",
        "You try to slash a cave bat, but it was close."},
       {},
       {{kName, "a cave bat", 0, kMiss, "slash", 0},
        {kName, "a cave bat", 0, kParry, "slash", 1},
        {kName, "a cave bat", 0, kDodge, "kick", 2},
        {kName, "a cave bat", 0, kRiposte, "bash", 3},
        {kName, "a cave bat", 0, kBlock, "pierce", 4}}},
      {"more verbs",
       {"Brisa cleaves a cave bat for 30 points of damage.",
        "You stab a cave bat for 9 points of damage.",
        "A cave bat tries to shoot YOU, but misses!"},
       {{"A cave bat", "YOU", 0, kMiss, "", 2}},
       {{"Brisa", "a cave bat", 30, kMelee, "cleaves", 0},
        {kName, "a cave bat", 9, kMelee, "stab", 1},
        {"a cave bat", kName, 0, kMiss, "shoot", 2}}},
      {"spell damage with a school",
       {"Brisa hit a cave bat for 310 points of fire damage by Ember Dart. (Critical)",
        "A cave bat hit you for 36 points of magic damage by Drain Life.",
        "You hit yourself for 1 point of cold damage by Backlash (Lucky Critical)."},
       {},
       {{"Brisa", "a cave bat", 310, kNonMelee, "Ember Dart", 0},
        {"a cave bat", kName, 36, kNonMelee, "Drain Life", 1},
        {kName, kName, 1, kNonMelee, "Backlash (Lucky Critical)", 2}}},
      {"damage shields",
       {"A cave bat is burned by YOUR flames for 5 points of non-melee damage.",
        "A cave bat is pierced by Brisa's thorns for 4 points of non-melee damage.",
        "YOU are pierced by a cave bat's thorns for 3 points of non-melee damage!"},
       {},
       {{kName, "A cave bat", 5, kNonMelee, "damage shield", 0},
        {"Brisa", "A cave bat", 4, kNonMelee, "damage shield", 1},
        {"A cave bat", kName, 3, kNonMelee, "damage shield", 2}}},
      {"damage over time on the character",
       {"You have taken 20 damage from Poison Sting by a cave bat.",
        "You have taken 8 damage from Poison Sting."},
       {},
       {{"a cave bat", kName, 20, kDamageOverTime, "Poison Sting", 0}}},
      {"tags after the final full stop",
       {"A gnoll has taken 12 damage from your Poison Bolt. (Critical)",
        "You slash a gnoll for 40 points of damage. (Lucky Critical)"},
       {{kName, "A gnoll", 12, kDamageOverTime, "Poison Bolt. (Critical)", 0},
        {kName, "a gnoll", 40, kMelee, "slash", 1}},
       {{kName, "A gnoll", 12, kDamageOverTime, "Poison Bolt.", 0},
        {kName, "A gnoll", 40, kMelee, "slash", 1}}},
  };
  for (const KindCase& c : cases) {
    const std::string log = Lines(c.lines);
    Expect(ParseLogText(log, kName), c.plain, c.kind, "default");
    Expect(ParseLogText(log, kName, kExtendedAttackVerbs, LineRules::kExtended), c.extended, c.kind,
           "extended");
  }
}

}  // namespace
}  // namespace ombrel::testing
