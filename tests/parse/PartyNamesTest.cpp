#include "parse/PartyNames.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "parse/LogText.h"
#include "parse/RecordMatchers.h"

namespace ombrel::testing {
namespace {

ParseResult ParseExtended(std::string_view log) {
  return ParseLogText(log, kName, kExtendedAttackVerbs, LineRules::kExtended);
}

std::vector<std::string_view> Mobs(const ParseResult& r) {
  return {r.MobList.begin(), r.MobList.end()};
}

std::string DataCsv(const ParseResult& r) {
  std::ostringstream out;
  WriteDataCsv(out, r.DamageTable, {}, r.written_names);
  return out.str();
}

TEST(SentenceCapitals, OnePartyShownAsFirstSeenWhileDataCsvKeepsTheLines) {
  const std::string log = Log({Line("Gorrum slashes a gnoll for 5 points of damage."),
                               Line("A gnoll bites YOU for 3 points of damage."),
                               Line("You hit A gnoll for 4 points of damage."),
                               // Only the first letter folds: "A Gnoll" is another party.
                               Line("You hit A Gnoll for 6 points of damage."),
                               // The character keeps the name as typed, whatever the log met first.
                               Line("tarlen hits a gnoll for 7 points of damage."),
                               Line("gorrum hits Tarlen for 1 point of damage.")});
  const ParseResult plain = Parse(log);
  EXPECT_EQ(Mobs(plain), (std::vector<std::string_view>{"A gnoll", "A Gnoll"}));
  EXPECT_TRUE(plain.written_names.empty());

  const ParseResult r = ParseExtended(log);
  ExpectRecords(r.DamageTable, {{"Gorrum", "a gnoll", 5, kMelee, "slashes", 0},
                                {"a gnoll", kName, 3, kMelee, "bites", 1},
                                {kName, "a gnoll", 4, kMelee, "hit", 2},
                                {kName, "A Gnoll", 6, kMelee, "hit", 3},
                                {kName, "a gnoll", 7, kMelee, "hits", 4},
                                {"Gorrum", kName, 1, kMelee, "hits", 5}});
  EXPECT_EQ(Mobs(r), (std::vector<std::string_view>{"a gnoll", "A Gnoll"}));
  EXPECT_EQ(DataCsv(r),
            "Date,Dealer,Taker,Damage,Crit,Type,Name,Counter\r\n"
            "01/02/2006 15:04:05,Gorrum,a gnoll,5,0,1,slashes,0\r\n"
            "01/02/2006 15:04:05,A gnoll,Tarlen,3,0,1,bites,1\r\n"
            "01/02/2006 15:04:05,Tarlen,A gnoll,4,0,1,hit,2\r\n"
            "01/02/2006 15:04:05,Tarlen,A Gnoll,6,0,1,hit,3\r\n"
            "01/02/2006 15:04:05,tarlen,a gnoll,7,0,1,hits,4\r\n"
            "01/02/2006 15:04:05,gorrum,Tarlen,1,0,1,hits,5\r\n");
  // Without a change nothing needs keeping.
  EXPECT_TRUE(ParseExtended(Line("You hit a gnoll for 4 points of damage.")).written_names.empty());
}

TEST(SentenceCapitals, PetsFollowTheirOwnersAndAccentedLettersFold) {
  const ParseResult r = ParseExtended(
      Log({Line("You hit a gnoll for 1 point of damage."),
           Line("A gnoll`s pet bites YOU for 2 points of damage."),
           Line("You hit a gnoll`s pet for 3 points of damage."),
           // A pet whose owner's spelling the log never gives it keeps its first spelling.
           Line("A rat`s warder bites YOU for 2 points of damage."),
           Line("You hit A rat`s warder for 3 points of damage."),
           Line("You hit a rat for 3 points of damage."),
           Line("You hit \xC9lan for 8 points of damage."),
           Line("\xE9lan hits YOU for 9 points of damage."),
           Line("You hit \xD7x for 8 points of damage."),
           Line("\xF7x hits YOU for 9 points of damage.")}));
  ExpectRecords(r.DamageTable, {{kName, "a gnoll", 1, kMelee, "hit", 0},
                                {"a gnoll`s pet", kName, 2, kMelee, "bites", 1},
                                {kName, "a gnoll`s pet", 3, kMelee, "hit", 2},
                                {"A rat`s warder", kName, 2, kMelee, "bites", 3},
                                {kName, "A rat`s warder", 3, kMelee, "hit", 4},
                                {kName, "a rat", 3, kMelee, "hit", 5},
                                {kName, "\xC9lan", 8, kMelee, "hit", 6},
                                {"\xC9lan", kName, 9, kMelee, "hits", 7},
                                {kName, "\xD7x", 8, kMelee, "hit", 8},
                                {"\xF7x", kName, 9, kMelee, "hits", 9}});
  EXPECT_EQ(Mobs(r), (std::vector<std::string_view>{"a gnoll", "a gnoll`s pet", "A rat`s warder",
                                                    "a rat", "\xC9lan", "\xD7x"}));
}

}  // namespace
}  // namespace ombrel::testing
