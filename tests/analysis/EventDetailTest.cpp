#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

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
  EXPECT_THAT(list.Row(2).subspan(22), ElementsAre("85.71%", "600.00%", "85.71%"));
  // The total row sums each kind apart.
  EXPECT_THAT(list.Row(0).subspan(15, 7), ElementsAre("3", "1", "2", "2", "1", "9", "0"));
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

}  // namespace
}  // namespace ombrel
