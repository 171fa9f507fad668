#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parse/ChunkClassify.h"
#include "parse/LogParser.h"
#include "parse/LogText.h"
#include "parse/RecordMatchers.h"
#include "parse/ReferenceParse.h"

namespace ombrel::testing {
namespace {

constexpr std::string_view kNextSecond = "[Mon Jan 02 15:04:06 2006] ";

std::string Lines(std::initializer_list<std::string> lines) {
  return Log(lines) + "\r\n";
}

// The records and mobs of the lines before a stretch, kept as a parser keeps them.
struct Before {
  DamageTable table;
  std::vector<std::string_view> mob_list{std::string_view{}};
  MobRegistry mobs{mob_list};
  int64_t lines = 0;

  explicit Before(std::string_view log) {
    const ClassifierTexts texts = InternClassifierTexts(table, kName);
    const VerbScanner verbs(kAttackVerbs);
    LineClassifier classifier(table, mobs, texts, verbs);
    lines = ForEachLine(log, LineEnd::kCrLf, 0,
                        [&](std::string_view line, int64_t k) { classifier.Classify(line, k); });
  }

  bool Join(std::string_view stretch) {
    ChunkResult chunk;
    ClassifyChunk(stretch, LineEnd::kCrLf, kName, VerbScanner(kAttackVerbs), LineRules::kDefault,
                  chunk);
    return JoinChunk(chunk, lines, table, mobs);
  }
};

TEST(ChunkClassify, AStretchJoinsAsIfClassifiedAfterTheLinesBefore) {
  // A hit that completes a cast before the stretch cannot be joined...
  Before cast(Lines({Line("Soandso begins to cast a spell. <Ice Spire>")}));
  const std::string hit = Lines({Line("Soandso hits a gnoll for 250 points of non-melee damage.")});
  EXPECT_FALSE(cast.Join(hit));
  EXPECT_EQ(cast.table.size(), 1u);
  // ...unless another caster cast, or the record before is no cast.
  Before other(Lines({Line("Ann begins to cast a spell. <Ice Spire>")}));
  EXPECT_TRUE(other.Join(hit));
  ExpectRecords(other.table, {{"Ann", "", 0, kSpellCast, "Ice Spire", 0},
                              {"Soandso", "a gnoll", 250, kNonMelee, "hits", 1}});

  // A special name renames the hit before the stretch when it is of the same
  // second, and the renaming question ends with the stretch's first record.
  const std::string log = Lines({Line("You hit a gnoll for 50 points of non-melee damage.")});
  const std::string names =
      Lines({Line("Soandso says, 'energy'"), Line("A gnoll is enveloped in ethereal energy."),
             At(kNextSecond, "A gnoll quivers as a bolt of energy surges through them."),
             Line("You hit a bat for 60 points of non-melee damage."),
             Line("A bat quivers as a bolt of energy surges through them.")});
  Before hits(log);
  ASSERT_TRUE(hits.Join(names));
  const ParseResult whole = Parse(log + names);
  EXPECT_EQ(ToReference(hits.table), ToReference(whole.DamageTable));
  ExpectRecords(hits.table, {{kName, "a gnoll", 50, kNonMelee, "Mana Resurgence Strike", 0},
                             {kName, "a bat", 60, kNonMelee, "Storm Blade Strike", 4}});
  EXPECT_EQ(hits.mob_list, (std::vector<std::string_view>{"a gnoll", "a bat"}));
  EXPECT_TRUE(hits.table.Holds(hits.mob_list[1]));

  // Line numbers that would not fit a record: the stretch is classified in line.
  Before far("");
  far.lines = int64_t{UINT32_MAX};
  EXPECT_FALSE(far.Join(hit + hit));
}

TEST(ChunkClassify, EmptyMobNamesJoinAsInLine) {
  // An empty name is no mob while the list has its empty first entry, and a
  // mob once another name took that entry.
  const std::string empty_tick = Line(" has taken 5 damage from your Bolt.");
  const std::string gnoll = Line("You hit a gnoll for 20 points of damage.");
  const std::vector<std::string> logs = {
      Lines({empty_tick, gnoll, empty_tick, gnoll}), Lines({gnoll, empty_tick, empty_tick}),
      Lines({empty_tick, empty_tick, Line("You hit a bat for 2 points of damage."), empty_tick})};
  for (const std::string& first : logs) {
    for (const std::string& second : logs) {
      const std::string log = first + second;
      const ParseResult whole = Parse(log);
      for (const unsigned threads : {2u, 7u}) {
        LogParser parser(kName, kAttackVerbs, LineRules::kDefault, 0, {threads, 1});
        parser.Feed(log);
        const ParseResult shared = parser.Finish();
        EXPECT_EQ(shared.MobList, whole.MobList) << log;
        EXPECT_EQ(ToReference(shared.DamageTable), ToReference(whole.DamageTable));
      }
      const std::vector<std::string> reference = ReferenceParse(log, kName).mobs;
      EXPECT_EQ(std::vector<std::string>(whole.MobList.begin(), whole.MobList.end()), reference);
    }
  }
}

TEST(ChunkClassify, AnnouncedCritsHealsAndDeathsJoinAsInLine) {
  // An announcement marks the first hit (heal) of its dealer and amount within four lines,
  // whichever stretch holds it; two announcements before one hit are both spent.
  const std::string log =
      Lines({Line("Brisa scores a critical hit! (310)"), Line("Soandso says, 'hi'"),
             Line("Brisa slashes a gnoll for 310 points of damage."),
             Line("Brisa scores a critical hit! (310)"), Line("Brisa scores a critical hit! (310)"),
             Line("Brisa slashes a gnoll for 310 points of damage."),
             Line("Brisa slashes a gnoll for 310 points of damage."),
             Line("Ann performs an exceptional heal! (500)"),
             Line("Ann healed you for 500 hit points by Light."), Line("You have slain a gnoll!"),
             Line("Gorrum lands a Crippling Blow!(90)"), Line("Soandso says, 'hi'"),
             Line("Soandso says, 'hi'"), Line("Soandso says, 'hi'"), Line("Soandso says, 'hi'"),
             Line("Gorrum slashes a gnoll for 90 points of damage.")});
  auto crits = [](const DamageTable& table) {
    std::string out;
    for (size_t k = 0; k < table.size(); ++k)
      if (table[k].Crit != 0) out += std::to_string(table[k].Counter) + " ";
    for (size_t k = 0; k < table.HealCount(); ++k)
      out += "h" + std::to_string(table.Heal(k).Counter) + (table.Heal(k).Crit ? "c " : " ");
    for (size_t k = 0; k < table.DeathCount(); ++k)
      out += "d" + std::to_string(table.Death(k).Counter) + " ";
    return out;
  };
  const ParseResult whole = ParseLogText(log, kName, kExtendedAttackVerbs, LineRules::kExtended);
  EXPECT_EQ(crits(whole.DamageTable), "2 5 h8c d9 ");
  for (const unsigned threads : {2u, 7u}) {
    LogParser parser(kName, kExtendedAttackVerbs, LineRules::kExtended, 0, {threads, 1});
    parser.Feed(log);
    const ParseResult shared = parser.Finish();
    EXPECT_EQ(ToReference(shared.DamageTable), ToReference(whole.DamageTable));
    EXPECT_EQ(crits(shared.DamageTable), crits(whole.DamageTable)) << threads;
  }
}

}  // namespace
}  // namespace ombrel::testing
