#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parse/ChunkClassify.h"
#include "parse/LogParser.h"
#include "parse/LogText.h"
#include "parse/MobList.h"
#include "parse/ReferenceParse.h"

namespace ombrel::testing {
namespace {

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

// Stretches joined after casts and special names are checked by every parse
// shared out over threads against the reference (ReferenceAgreement,
// GeneratedLog); here what those logs cannot reach.
TEST(ChunkClassify, AStretchThatCannotJoinIsClassifiedInLine) {
  // A hit that completes a cast before the stretch...
  const std::string hit = Lines({Line("Soandso hits a gnoll for 250 points of non-melee damage.")});
  Before cast(Lines({Line("Soandso begins to cast a spell. <Ice Spire>")}));
  EXPECT_FALSE(cast.Join(hit));
  EXPECT_EQ(cast.table.size(), 1u);
  Before other(Lines({Line("Ann begins to cast a spell. <Ice Spire>")}));
  EXPECT_TRUE(other.Join(hit));
  // ...and line numbers that would not fit a record.
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

using Names = std::vector<std::string_view>;

TEST(MobList, AddMobAndTheRegistryKeepFirstAppearanceOrderWithoutRepeats) {
  Names list{std::string_view{}};
  AddMob(list, "a gnoll");
  EXPECT_EQ(list, (Names{"a gnoll"}));  // the empty entry is replaced
  AddMob(list, "a bat");
  AddMob(list, "a gnoll");
  AddMob(list, "A gnoll");  // exact comparison: another name
  EXPECT_EQ(list, (Names{"a gnoll", "a bat", "A gnoll"}));
  Names empty_start{std::string_view{}};
  AddMob(empty_start, "");
  EXPECT_EQ(empty_start, (Names{""}));
  AddMob(list, "");  // no empty first entry any more: an empty name is appended
  EXPECT_EQ(list, (Names{"a gnoll", "a bat", "A gnoll", ""}));

  // The registry agrees with AddMob after every name.
  const Names names = {"", "a", "b", "a", "", "c", "", "b", "d", "a"};
  Names by_add{std::string_view{}};
  Names by_registry{std::string_view{}};
  MobRegistry registry(by_registry);
  for (const std::string_view name : names) {
    AddMob(by_add, name);
    registry.Register(name);
    EXPECT_EQ(by_registry, by_add);
  }
}

}  // namespace
}  // namespace ombrel::testing
