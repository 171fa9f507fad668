#include "analysis/CombatantDetail.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/EventFixture.h"

namespace ombrel {
namespace {

using ::ombrel::testing::At;
using ::ombrel::testing::FirstColumn;
using ::ombrel::testing::Joined;
using ::ombrel::testing::OneEvent;
using ::ombrel::testing::Rec;

// The party fight's lists were built with pets on their owners' rows.
constexpr bool kPets = true;

constexpr std::string_view kHeader =
    "Source,Dmg,Hits,Swings,MaxHit,MinHit,Misses,Parries,Dodges,Ripostes,Blocks\r\n";

std::string Csv(const std::vector<SourceRow>& rows) {
  std::ostringstream out;
  WritePcDetailCsv(out, rows);
  return out.str();
}

TEST(CombatantDetailTest, SourcesFoldBaseFormVerbsAndCountTheCombatantsSwings) {
  const ParsedLog g = OneEvent(
      {Rec(0, "Tarlen", "an orc", 40, kMelee, "hit"),
       Rec(1, "Tarlen", "an orc", 0, kSpellCast, "Fire Bolt"),  // casts are not swings
       Rec(2, "an orc", "Tarlen", 99, kMelee),                  // nor is being hit
       Rec(3, "Tarlen", "an orc", 60, kMelee), Rec(4, "Tarlen", "an orc", 25, kMelee, "frenzy on"),
       Rec(5, "Mirra", "an orc", 500, kMelee), Rec(6, "Tarlen", "a rat", 70, kMelee),
       Rec(7, "Tarlen", "an orc", 0, kMelee, "hit"),
       Rec(8, "Tarlen", "an orc", 35, kMelee, "frenzies on"),
       Rec(9, "Tarlen", "an orc", 0, kMiss, "frenzy on"),
       Rec(9, "Tarlen", "an orc", 0, kDodge, "")},  // an avoidance naming no verb
      "an orc");
  const std::vector<SourceRow> rows = BuildCombatantDetail(g, 1, "Tarlen", false);
  const TextTable list = CombatantDetailListRows(rows, g.EventTable()[0].Duration);
  ASSERT_EQ(list.Rows(), 3u);
  // A 0-damage hit after positive ones lowers the minimum here.
  EXPECT_EQ(Joined(list, 0), "hits|100|14.29|11.11|60|0|3|3|0|0|0|0|0|100.00%|0.00%|0.00%");
  EXPECT_EQ(Joined(list, 1), "frenzies on|60|12.00|6.67|35|25|2|3|1|0|0|0|0|66.67%|0.00%|0.00%");
  EXPECT_EQ(Joined(list, 2), "||.00|.00|0|0|0|1|0|0|1|0|0|100.00%|0.00%|100.00%");
  EXPECT_EQ(rows[0].EndDate, At(7));
  EXPECT_EQ(Csv(rows), std::string(kHeader) +
                           "hits,100,3,3,60,0,0,0,0,0,0\r\n"
                           "frenzies on,60,2,3,35,25,1,0,0,0,0\r\n"
                           ",0,0,1,0,0,0,0,1,0,0\r\n");

  // Rates below 1 lose the leading zero; evasion and accuracy follow the swings.
  const ParsedLog sting = OneEvent(
      {Rec(0, "Vex", "a crab", 1, kNonMelee, "Sting"), Rec(1, "Vex", "a crab", 0, kMiss, "Sting"),
       Rec(1, "Vex", "a crab", 0, kMiss, "Sting"), Rec(1, "Vex", "a crab", 0, kMiss, "Sting"),
       Rec(1, "Vex", "a crab", 0, kParry, "Sting"), Rec(2, "Vex", "a crab", 0, kDodge, "Sting"),
       Rec(2, "Vex", "a crab", 0, kDodge, "Sting")},
      "a crab");
  EXPECT_EQ(Joined(CombatantDetailListRows(BuildCombatantDetail(sting, 1, "Vex", false), 2), 0),
            "Sting|1|.50|.50|1|1|1|7|3|1|2|0|0|57.14%|100.00%|42.86%");
}

TEST(CombatantDetailTest, NothingDealtShowsOneUnnamedRow) {
  const ParsedLog g = OneEvent(
      {Rec(0, "an orc", "Tarlen", 9, kMelee), Rec(1, "Mirra", "an orc", 3, kMelee)}, "an orc");
  for (std::string_view who : {"Tarlen", "Nobody", "Tarlen + pet"}) {
    const std::vector<SourceRow> rows = BuildCombatantDetail(g, 1, who, false);
    ASSERT_EQ(rows.size(), 1u) << who;
    EXPECT_EQ(Joined(CombatantDetailListRows(rows, 1), 0),
              "||.00|.00|0|0|0|0|0|0|0|0|0|0.00%|0.00%|0.00%");
    EXPECT_EQ(Csv(rows), std::string(kHeader) + ",0,0,0,0,0,0,0,0,0,0\r\n");
  }
  EXPECT_EQ(BuildCombatantDetail(g, 2, "Mirra", false).size(), 1u);  // no such event
  EXPECT_EQ(BuildCombatantDetail(ParsedLog{}, 1, "Mirra", false).size(), 1u);
}

// Ann fights with her pet and warder; Annabelle and JoAnn only look alike.
ParsedLog PartyFight() {
  return OneEvent(
      {Rec(0, "Ann", "a drake", 10, kMelee, "hit"),
       Rec(1, "Ann`s pet", "a drake", 20, kMelee, "bites"),
       Rec(2, "Annabelle", "a drake", 400, kMelee), Rec(3, "JoAnn", "a drake", 300, kMelee),
       Rec(4, "Ann`s warder", "a drake", 5, kMelee), Rec(5, "Ann", "a drake", 0, kMiss, "bite"),
       Rec(6, "Al", "a drake", 7, kNonMelee, "Frost"),
       Rec(7, "a drake", "Ann", 90, kMelee, "bites")},
      "a drake");
}

TEST(CombatantDetailTest, TotalRowShowsTheWholePartyWithoutPetMarks) {
  const ParsedLog g = PartyFight();
  const std::vector<SourceRow> rows = BuildCombatantDetail(g, 1, " [ Total ] ", kPets);
  EXPECT_EQ(Csv(rows), std::string(kHeader) +
                           "hits,715,4,4,400,5,0,0,0,0,0\r\n"
                           "bites,20,1,2,20,20,1,0,0,0,0\r\n"
                           "Frost,7,1,1,7,7,0,0,0,0,0\r\n");
  // The report has no block for the total row; asked anyway, it gives the same.
  EXPECT_EQ(Csv(CombatantReportSources(g, 1, " [ Total ] ", kPets)), Csv(rows));
}

TEST(CombatantDetailTest, PetRowShowsOwnerWithPetsMarkedByTheLatestRecord) {
  const ParsedLog g = PartyFight();
  const std::vector<SourceRow> rows = BuildCombatantDetail(g, 1, "Ann + pet", kPets);
  // "hits" ends on the warder's record, "bites" on Ann's own miss.
  EXPECT_EQ(Csv(rows), std::string(kHeader) +
                           "Pet - hits,15,2,2,10,5,0,0,0,0,0\r\n"
                           "bites,20,1,2,20,20,1,0,0,0,0\r\n");
  EXPECT_EQ(FirstColumn(CombatantDetailListRows(rows, 1)), "Pet - hits|bites");
  EXPECT_EQ(Csv(CombatantReportSources(g, 1, "Ann + pet", kPets)), Csv(rows));

  // Listed without " + pet", the report still takes the pets' records,
  // unmarked; the combatant detail takes Ann's own only.
  EXPECT_EQ(Csv(CombatantReportSources(g, 1, "Ann", kPets)),
            std::string(kHeader) +
                "hits,15,2,2,10,5,0,0,0,0,0\r\n"
                "bites,20,1,2,20,20,1,0,0,0,0\r\n");
  EXPECT_EQ(Csv(BuildCombatantDetail(g, 1, "Ann", kPets)), std::string(kHeader) +
                                                               "hits,10,1,1,10,10,0,0,0,0,0\r\n"
                                                               "bites,0,0,1,0,0,1,0,0,0,0\r\n");
  EXPECT_FALSE(CombatantReportSources(g, 1, "Ann + pet", /*include_pets=*/false)[0].HasPet);
}

TEST(CombatantDetailTest, DealerAndDateRulesAtTheirEdges) {
  // An opponent named like the combatant: the report leaves its swings at
  // itself out, the combatant detail follows the dealer alone.
  const ParsedLog ogre = OneEvent(
      {Rec(0, "Ogre", "Ogre", 6, kMelee), Rec(1, "Ogre`s pet", "Ogre", 4, kMelee)}, "Ogre");
  EXPECT_EQ(BuildCombatantDetail(ogre, 1, "Ogre", false)[0].DamageDealt, 6);
  EXPECT_EQ(CombatantReportSources(ogre, 1, "Ogre", false)[0].DamageDealt, 4);

  // A start before 1995 counts as unset, so each record replaces it.
  std::vector<DamageRecord> old = {Rec(0, "Tarlen", "an orc", 5, kMelee),
                                   Rec(9, "Tarlen", "an orc", 5, kMelee)};
  for (DamageRecord& r : old) r.Date.seconds -= 16 * 365 * DateTime::kSecondsPerDay;
  const std::vector<SourceRow> rows =
      BuildCombatantDetail(OneEvent(old, "an orc"), 1, "Tarlen", false);
  EXPECT_EQ(rows[0].StartDate, old[1].Date);
  EXPECT_EQ(rows[0].Duration, 1);
}

TEST(CombatantDetailTest, ReportSourcesOfAllRowsMatchOneWalkPerRow) {
  // Owners, pets of pets, names that begin like others, the opponent's own
  // name among the dealers, and swings of every kind, in random order.
  static constexpr std::string_view kDealers[] = {
      "Ann",  "Ann`s pet", "Ann`s pet`s warder", "Anna", "Ann s pet",
      "Ann`", "a gnoll",   "a gnoll`s pet",      "Bo",   "Bo`s warder"};
  static constexpr std::string_view kTakers[] = {"a gnoll", "Ann", "a rat"};
  static constexpr std::string_view kNames[] = {"hit", "hits", "slash", "Fire Bolt"};
  std::mt19937 rng(7);
  auto pick = [&rng](size_t n) { return static_cast<size_t>(rng() % n); };
  for (int round = 0; round < 50; ++round) {
    std::vector<DamageRecord> records;
    for (int k = 0, n = 1 + static_cast<int>(pick(60)); k < n; ++k) {
      records.push_back(Rec(static_cast<int>(pick(40)), kDealers[pick(std::size(kDealers))],
                            kTakers[pick(std::size(kTakers))], static_cast<int32_t>(pick(30)),
                            static_cast<int32_t>(pick(10)), kNames[pick(std::size(kNames))]));
    }
    const ParsedLog g = OneEvent(records, "a gnoll");
    const bool include_pets = round % 2 == 0;
    const EventReportSources sources(g, 1, include_pets);
    for (std::string_view dealer : kDealers) {
      for (const std::string& text : {std::string(dealer), std::string(dealer) + " + pet"}) {
        SourceQuery query;
        query.dealers = SourceDealers::kWithPets;
        query.combatant = dealer;
        query.mark_pets = include_pets && text.ends_with(" + pet");
        EXPECT_EQ(Csv(sources.For(text)), Csv(BuildSourceTable(g, 1, query))) << text;
      }
    }
  }
}

}  // namespace
}  // namespace ombrel
