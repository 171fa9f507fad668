#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/CombatantDetail.h"
#include "analysis/EventDetail.h"
#include "analysis/EventFixture.h"
#include "analysis/Timeline.h"
#include "shared/ListColumns.h"

namespace ombrel {
namespace {

using ::ombrel::testing::EventOver;
using ::ombrel::testing::FirstColumn;
using ::ombrel::testing::Joined;
using ::ombrel::testing::LogOf;
using ::ombrel::testing::OneEvent;
using ::ombrel::testing::Rec;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<CombatantSummary> Rows(const ParsedLog& log, int32_t event_number,
                                   bool include_pets = false) {
  return BuildEventDetail(log, event_number, include_pets).rows;
}

// Tarlen and Mirra fight a goblin that hits Tarlen once and swings at Mirra.
ParsedLog Skirmish() {
  return OneEvent({Rec(0, "Tarlen", "a goblin", 100, kMelee, "slashes"),
                   Rec(2, "a goblin", "Tarlen", 30, kMelee), Rec(4, "Tarlen", "a goblin", 0, kMiss),
                   Rec(5, "Tarlen", "a goblin", 0, kParry),
                   Rec(10, "Mirra", "a goblin", 1500, kNonMelee, "Fire Bolt"),
                   Rec(12, "a goblin", "Mirra", 0, kDodge)},
                  "a goblin");
}

TEST(EventDetailTest, TotalRowDescribesTheOpponentWithSwappedColumns) {
  const ParsedLog g = Skirmish();
  const TextTable list = EventDetailListRows(Rows(g, 1));
  ASSERT_EQ(list.Rows(), 3u);
  // Dealt-side columns show what the goblin took; swings taken (4) are the
  // combatants' swings at it, and its percentages use them.
  EXPECT_EQ(Joined(list, 0),
            " [ Total ] |1,600|12|133.33|133.33|01/02/2006 20:00:00|01/02/2006 20:00:12|1500|100|2|"
            "30|30|1|30|2.50|1|1|0|0|0|4|2|75.00%|100.00%|25.00%");
  // ADPS divides by the whole event's duration.
  EXPECT_EQ(Joined(list, 1),
            "Tarlen|100|5|20.00|8.33|01/02/2006 20:00:00|01/02/2006 20:00:05|30|30|1|100|100|1|30|"
            "6.00|1|1|0|0|0|1|3|66.67%|100.00%|33.33%");
  // The goblin's dodged swing at Mirra only raises her swings taken.
  EXPECT_EQ(Joined(list, 2),
            "Mirra|1,500|2|750.00|125.00|01/02/2006 20:00:10|01/02/2006 20:00:12|0|0|0|1500|1500|1|"
            "0|0.00|0|0|0|0|0|1|1|100.00%|0.00%|0.00%");

  // textpclist.csv, which holds each row's own fields, is pinned on the sample.
}

TEST(EventDetailTest, PetsJoinTheirOwnerOnlyWhenIncluded) {
  const std::vector<DamageRecord> fight = {
      Rec(0, "Anna`s pet", "a wolf", 50, kMelee, "bites"), Rec(1, "Anna", "a wolf", 20, kMelee),
      Rec(2, "a wolf", "Anna`s warder", 10, kMelee), Rec(3, "Bobby", "a wolf", 5, kMelee),
      Rec(4, "Al`s pet", "a wolf", 7, kMelee)};
  const ParsedLog log = OneEvent(fight, "a wolf");
  const std::vector<CombatantSummary> rows = Rows(log, 1, /*include_pets=*/true);
  // The pet's record opens the owner's row; "Al" is too short for a row.
  EXPECT_EQ(FirstColumn(EventDetailListRows(rows)), " [ Total ] |Anna + pet|Bobby");
  EXPECT_TRUE(rows[1].DamageDealt == 70 && rows[1].DamageTaken == 10 && !rows[2].HasPet);

  EXPECT_EQ(FirstColumn(EventDetailListRows(Rows(log, 1, /*include_pets=*/false))),
            " [ Total ] |Anna`s pet|Anna|Anna`s warder|Bobby|Al`s pet");
}

TEST(EventDetailTest, NamesUnderFourCharactersGetNoRow) {
  const ParsedLog g =
      OneEvent({Rec(0, "Abcd", "a rat", 3, kMelee), Rec(1, "a rat", "YOU", 0, kParry),
                Rec(2, "Bo", "a rat", 4, kMelee), Rec(3, "a rat", "Bo", 2, kMelee)},
               "a rat");
  const std::vector<CombatantSummary> rows = Rows(g, 1);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].Name, "Abcd");
  EXPECT_EQ(rows[0].SwingsDealt, 0);  // neither the parry by "YOU" nor the hit on "Bo"
  EXPECT_EQ(rows[0].SwingsTaken, 1);

  // Nobody with a long enough name: the total row alone, percentages 0.00%.
  const ParsedLog only_short = OneEvent({Rec(0, "Bo", "a rat", 4, kMelee)}, "a rat");
  EXPECT_EQ(Joined(EventDetailListRows(Rows(only_short, 1)), 0),
            " [ Total ] |4|1|4.00|4.00|01/02/2006 20:00:00|01/02/2006 20:00:00|4|4|1|0|0|0|0|0.00|"
            "0|0|0|0|0|0|0|0.00%|0.00%|0.00%");
}

TEST(EventDetailTest, MinimumIgnoresLaterZeroesButKeepsAFirstZeroHit) {
  const ParsedLog g =
      OneEvent({Rec(0, "Rhea", "a bear", 0, kMiss), Rec(1, "Rhea", "a bear", 50, kMelee),
                Rec(2, "Rhea", "a bear", 0, kMelee), Rec(3, "Rhea", "a bear", 30, kMelee),
                Rec(4, "Zorn", "a bear", 0, kMelee), Rec(5, "Zorn", "a bear", 40, kMelee),
                Rec(6, "a bear", "Rhea", 20, kMelee), Rec(7, "a bear", "Rhea", 0, kNonMelee),
                Rec(8, "a bear", "Rhea", 15, kDamageOverTime)},
               "a bear");
  const std::vector<CombatantSummary> rows = Rows(g, 1);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(std::vector<int64_t>({rows[1].MinHitDealt, rows[1].HitsDealt, rows[1].MinHitTaken,
                                  rows[1].HitsTaken, rows[2].MinHitDealt, rows[2].MaxHitDealt}),
            std::vector<int64_t>({30, 3, 15, 3, 0, 40}));
}

TEST(EventDetailTest, SwingsThatNeverLandShowEvasionAgainstMisses) {
  const ParsedLog g =
      OneEvent({Rec(0, "Quill", "an imp", 0, kMiss), Rec(1, "Quill", "an imp", 0, kMiss),
                Rec(2, "Pike", "an imp", 0, kMiss), Rec(3, "Pike", "an imp", 0, kDodge),
                Rec(4, "Pike", "an imp", 0, kDodge), Rec(5, "Pike", "an imp", 0, kParry),
                Rec(6, "Pike", "an imp", 0, kBlock), Rec(7, "Pike", "an imp", 0, kRiposte),
                Rec(8, "Pike", "an imp", 0, kRiposte)},
               "an imp");
  const TextTable list = EventDetailListRows(Rows(g, 1));
  ASSERT_EQ(list.Rows(), 3u);
  EXPECT_EQ(Joined(list, 1),
            "Quill||1|0.00|0.00|01/02/2006 20:00:00|01/02/2006 20:00:01|0|0|0|0|0|0|0|0.00|2|0|0|0|"
            "0|0|2|0.00%|0.00%|0.00%");
  const std::vector<std::string> row = list.Row(2);
  EXPECT_THAT(std::span(row).subspan(22), ElementsAre("85.71%", "600.00%", "85.71%"));
  // The total row sums each kind apart.
  const std::vector<std::string> first = list.Row(0);
  EXPECT_THAT(std::span(first).subspan(15, 7), ElementsAre("3", "1", "2", "2", "1", "9", "0"));
  EXPECT_EQ(CellAt(list, 0, EventDetailColumn::kEvasion), "200.00%");
}

TEST(EventDetailTest, AbilityCastsByAnyoneInRangeAreListed) {
  const std::vector<DamageRecord> records = {
      Rec(0, "Someone", "Someone", 0, kSpellCast, "Glyph of Arcane Secrets"),
      Rec(1, "Tarlen", "a troll", 10, kMelee),
      Rec(2, "Mirra", "Mirra", 0, kSpellCast, "Staunch Recovery"),
      Rec(3, "Tarlen", "a troll", 0, kMelee, "Glyph of Nothing"),  // not a cast
      Rec(4, "Mirra", "Mirra", 0, kSpellCast, "Staunch Recovery"),
      Rec(5, "Tarlen", "Tarlen", 0, kSpellCast, "Intensity of the Resolute"),
      Rec(6, "Tarlen", "a troll", 10, kMelee),
      Rec(7, "Tarlen", "Tarlen", 0, kSpellCast, "Glyph of Boundless Fury")};
  EventRecord first = EventOver(records, "a troll");
  first.EndCounter = 6;  // the last cast comes after the event
  EventRecord second = first;
  second.StartCounter = 6;
  const ParsedLog log = LogOf(records, {first, second});
  const EventDetail detail = BuildEventDetail(log, 1, false);
  EXPECT_THAT(detail.GlyphList, ElementsAre(0));
  EXPECT_THAT(detail.VeteranList, ElementsAre(2, 4, 5));

  // An event without casts has empty lists.
  const EventDetail without = BuildEventDetail(log, 2, false);
  EXPECT_THAT(without.GlyphList, IsEmpty());
  EXPECT_THAT(without.VeteranList, IsEmpty());
}

TEST(EventDetailTest, EventsWithoutRecordsOrOutsideTheListAreHarmless) {
  const ParsedLog g;  // no fight: one empty event over an empty damage table
  const std::vector<CombatantSummary> rows = Rows(g, 1);
  EXPECT_EQ(Joined(EventDetailListRows(rows), 0),
            " [ Total ] ||1|0.00|0.00|12/30/1899 00:00:00|12/30/1899 00:00:00|0|0|0|0|0|0|0|0.00|"
            "0|0|0|0|0|0|0|0.00%|0.00%|0.00%");
  EXPECT_THAT(Rows(g, 2), IsEmpty());
  EXPECT_THAT(Rows(g, 0), IsEmpty());
}

using ::testing::DoubleNear;
using ::testing::Pointwise;
using namespace ombrel::testing;

struct CellText {
  int64_t second;
  std::string name;
  int64_t dealt;
  int64_t taken;
  friend bool operator==(const CellText&, const CellText&) = default;
};

std::vector<CellText> Cells(const Timeline& t) {
  std::vector<CellText> out;
  for (const TimelineCell& c : t.Cells) {
    out.push_back({c.Second, t.Rows[c.Row].Name, c.DamageDealt, c.DamageTaken});
  }
  return out;
}

// A goblin fight with a pet, a miss, a short name, a cast carrying damage, a
// record of another fight inside the range, a comma in a name and a record
// stamped two seconds before the start (the clock stepped back).
std::vector<DamageRecord> GoblinFight() {
  return {
      Rec(0, "Anna", "a goblin", 10, kMelee),
      Rec(0, "Anna`s pet", "a goblin", 5, kMelee),
      Rec(1, "a goblin", "Anna", 7, kMelee),
      Rec(1, "Bobby", "a goblin", 0, kMiss),
      Rec(2, "Xy", "a goblin", 9, kMelee),
      Rec(2, "a goblin", "Tarlen", 4, kMelee),
      Rec(2, "Anna", "an orc", 100, kMelee),
      Rec(3, "Bobby", "a goblin", 6, kSpellCast, "Fire Bolt"),
      Rec(3, "Cy,\"Q\"", "a goblin", 2, kNonMelee),
      Rec(3, "Anna", "a goblin", 1, kDamageOverTime),
      Rec(-2, "Anna", "a goblin", 3, kMelee),
  };
}

TEST(TimelineTest, CellsFollowTheEventDetailRows) {
  const ParsedLog g = OneEvent(GoblinFight(), "a goblin");
  const Timeline t = BuildTimeline(g, 1, /*include_pets=*/true);
  EXPECT_EQ(t.Opponent, "a goblin");
  EXPECT_EQ(t.Start, At(0));
  EXPECT_EQ(t.FirstSecond, -2);
  EXPECT_EQ(t.LastSecond, 3);
  // Bobby's miss leaves no line; "Xy" has no row; the orc's hit is not the goblin's.
  EXPECT_THAT(Cells(t),
              ElementsAre(CellText{-2, "Anna + pet", 3, 0}, CellText{0, "Anna + pet", 15, 0},
                          CellText{1, "Anna + pet", 0, 7}, CellText{2, "Tarlen", 0, 4},
                          CellText{3, "Anna + pet", 1, 0}, CellText{3, "Bobby", 6, 0},
                          CellText{3, "Cy,\"Q\"", 2, 0}));

  // The rows are the event-detail rows after the total, with pets or without
  // (the app's timeline test adds up every row's lines on generated logs).
  for (const bool pets : {false, true}) {
    std::vector<std::string> names;
    for (const TimelineRow& row : BuildTimeline(g, 1, pets).Rows) names.push_back(row.Name);
    std::vector<std::string> listed;
    for (const CombatantSummary& row : BuildEventDetail(g, 1, pets).rows)
      listed.push_back(row.Name);
    listed.erase(listed.begin());
    EXPECT_EQ(names, listed);
    if (!pets) {
      EXPECT_EQ(names[1], "Anna`s pet");
    }
  }

  EXPECT_TRUE(BuildTimeline(g, 2, true).Cells.empty());
}

TEST(TimelineTest, CsvFollowsTheListOrder) {
  const ParsedLog g = OneEvent(GoblinFight(), "a goblin");
  const Timeline t = BuildTimeline(g, 1, true);
  // As the list shows it after a sort; the total row is not a timeline row.
  const std::vector<std::string> listed = {" [ Total ] ", "Cy,\"Q\"", "Tarlen", "Bobby",
                                           "Anna + pet"};
  std::ostringstream out;
  WriteTimelineCsv(out, t, RowsInListOrder(t, listed));
  EXPECT_EQ(out.str(),
            "Second,Combatant,Damage Dealt,Damage Taken\r\n"
            "-2,Anna + pet,3,0\r\n"
            "0,Anna + pet,15,0\r\n"
            "1,Anna + pet,0,7\r\n"
            "2,Tarlen,0,4\r\n"
            "3,\"Cy,\"\"Q\"\"\",2,0\r\n"
            "3,Bobby,6,0\r\n"
            "3,Anna + pet,1,0\r\n");

  // Equal names are matched in turn; rows the list leaves out follow in table order.
  Timeline twins;
  twins.Rows = {{"Anna", 1, 0}, {"Bo", 1, 0}, {"Anna", 1, 0}, {"Cy", 1, 0}};
  const std::vector<std::string> two_anns = {"Cy", "Anna", "Anna", "Nobody"};
  EXPECT_THAT(RowsInListOrder(twins, two_anns), ElementsAre(3, 0, 2, 1));
}

Timeline HandMade(std::vector<TimelineRow> rows, std::vector<TimelineCell> cells, int64_t first,
                  int64_t last) {
  Timeline t;
  t.Opponent = "a goblin";
  t.Rows = std::move(rows);
  t.Cells = std::move(cells);
  t.FirstSecond = first;
  t.LastSecond = last;
  return t;
}

TEST(TimelineTest, MovingWindow) {
  // Ann deals 10 at second 0 and 20 at second 2; the goblin hits her for 6 at second 1.
  const Timeline t =
      HandMade({{"Anna", 30, 6}}, {{0, 0, 10, 0}, {1, 0, 0, 6}, {2, 0, 20, 0}}, 0, 4);
  const DpsChart three = MovingWindowDps(t, 3);
  ASSERT_EQ(three.Points, 5u);
  EXPECT_EQ(three.StepSeconds, 1);
  EXPECT_EQ(three.SecondOfPoint(4), 4);
  ASSERT_EQ(three.Series.size(), 2u);
  EXPECT_EQ(three.Series[0].Name, "Anna");
  EXPECT_EQ(three.Series[1].Kind, SeriesKind::kOpponent);
  EXPECT_EQ(three.Series[1].Name, "a goblin");
  EXPECT_THAT(three.Series[0].Values,
              Pointwise(DoubleNear(1e-9), {10.0 / 3, 10.0 / 3, 10.0, 20.0 / 3, 20.0 / 3}));
  EXPECT_THAT(three.Series[1].Values, Pointwise(DoubleNear(1e-9), {0.0, 2.0, 2.0, 2.0, 0.0}));
  EXPECT_DOUBLE_EQ(three.Peak(), 10.0);
  EXPECT_THAT(MovingWindowDps(t, 1).Series[0].Values,
              Pointwise(DoubleNear(1e-9), {10.0, 0.0, 20.0, 0.0, 0.0}));

  // Ten dealers and one who only took damage: the eight best (ties in table
  // order), "Others" for the rest, the opponent last.
  std::vector<TimelineRow> rows;
  std::vector<TimelineCell> cells;
  const int64_t dealt[] = {5, 9, 1, 9, 7, 3, 8, 2, 6, 4, 0};
  for (size_t r = 0; r < std::size(dealt); ++r) {
    rows.push_back({"P" + std::to_string(r), dealt[r], dealt[r] == 0 ? 3 : 0});
    cells.push_back({static_cast<int64_t>(r), r, dealt[r], dealt[r] == 0 ? 3 : 0});
  }
  const DpsChart many = MovingWindowDps(HandMade(rows, cells, 0, 10), 1);
  std::vector<std::string> names;
  for (const DpsSeries& s : many.Series) names.push_back(s.Name);
  EXPECT_THAT(names,
              ElementsAre("P1", "P3", "P6", "P4", "P8", "P0", "P9", "P5", "Others", "a goblin"));
  EXPECT_THAT(many.Series[8].Rows, ElementsAre(7, 2));
  EXPECT_EQ(many.SeriesOfRow(2), 8);
  EXPECT_EQ(many.SeriesOfRow(3), 1);
  EXPECT_EQ(many.SeriesOfRow(10), -1);
  EXPECT_DOUBLE_EQ(many.Series[8].Values[2] + many.Series[8].Values[7], 3.0);
  EXPECT_DOUBLE_EQ(many.Series[9].Values[10], 3.0);

  // A long fight goes in steps that keep the points in bounds; each step's
  // damage is counted once when the window is no longer than a step.
  const Timeline long_fight =
      HandMade({{"Anna", 70, 0}}, {{-5, 0, 10, 0}, {4000, 0, 20, 0}, {9999, 0, 40, 0}}, -5, 10000);
  const DpsChart steps = MovingWindowDps(long_fight, 3);
  EXPECT_EQ(steps.StepSeconds, 3);
  EXPECT_LE(steps.Points, kMaxDpsPoints);
  EXPECT_GE(steps.SecondOfPoint(steps.Points - 1), 10000);
  double sum = 0;
  for (double v : steps.Series[0].Values) sum += v * 3;
  EXPECT_DOUBLE_EQ(sum, 70.0);
  EXPECT_EQ(MovingWindowDps(long_fight, 1).StepSeconds, 3);
}

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

// Two fights seen as one: a wolf at 0 to 10 s and a bear at 5 to 20 s, both
// fought by Anna; far later a snake, fought by Bo alone.
ParsedLog ThreeFights() {
  const std::vector<DamageRecord> records = {
      Rec(0, "Anna", "a wolf", 10, kMelee),   Rec(5, "Anna", "a bear", 20, kMelee),
      Rec(6, "a bear", "Anna", 7, kMelee),    Rec(10, "Anna", "a wolf", 30, kMelee),
      Rec(20, "Anna", "a bear", 0, kMiss),    Rec(500, "Boden", "a snake", 5, kMelee),
      Rec(503, "a snake", "Boden", 3, kMelee)};
  auto event = [&records](std::string_view mob, int64_t first, int64_t last) {
    const std::vector<DamageRecord> part(records.begin() + first, records.begin() + last + 1);
    EventRecord e = EventOver(part, mob);
    e.StartCounter = first;
    e.EndCounter = last;
    return e;
  };
  return LogOf(records, {event("a wolf", 0, 3), event("a bear", 1, 4), event("a snake", 5, 6)});
}

TEST(EventDetailTest, AUnionCountsEachRecordOnceAndItsActiveTime) {
  const ParsedLog g = ThreeFights();
  // Overlapping fights: Anna's records of both once, her duration the 0 to 20 s
  // she was active (not 10 + 15); the total row the two opponents summed.
  const TextTable both =
      EventDetailListRows(BuildEventDetail(g, FightSelection({1, 2}), false).rows);
  EXPECT_EQ(FirstColumn(both), " [ Total ] |Anna");
  EXPECT_THAT(Joined(both, 0), ::testing::StartsWith(" [ Total ] |60|20|3.00|3.00|"));
  EXPECT_THAT(Joined(both, 1), ::testing::StartsWith("Anna|60|20|3.00|3.00|"));
  // Disjoint fights of disjoint combatants: their rows side by side, the
  // total the sum and the durations added (20 s and 3 s).
  const auto apart = BuildEventDetail(g, FightSelection({3, 1}), false).rows;
  const auto wolf = Rows(g, 1), snake = Rows(g, 3);
  ASSERT_EQ(apart.size(), 3u);
  EXPECT_EQ(apart[1], wolf[1]);
  EXPECT_EQ(apart[2], snake[1]);
  EXPECT_EQ(apart[0].DamageTaken, wolf[0].DamageTaken + snake[0].DamageTaken);
  EXPECT_EQ(apart[0].SwingsTaken, wolf[0].SwingsTaken + snake[0].SwingsTaken);
  EXPECT_EQ(apart[0].Duration, wolf[0].Duration + snake[0].Duration);
  // The chart draws each opponent's damage apart; the bear's 7 at second 6.
  const Timeline t = BuildTimeline(g, FightSelection({1, 2}), false);
  EXPECT_EQ(t.Opponent, "a wolf + 1 more");
  EXPECT_THAT(t.Opponents, ElementsAre("a wolf", "a bear"));
  ASSERT_EQ(t.OpponentCells.size(), 1u);
  EXPECT_EQ(t.OpponentCells[0].Second, 6);
  EXPECT_EQ(MovingWindowDps(t, 1).Series.size(), 3u);
}

}  // namespace
}  // namespace ombrel
