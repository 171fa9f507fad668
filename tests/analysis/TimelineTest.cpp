#include "analysis/Timeline.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "analysis/EventFixture.h"

namespace ombrel {
namespace {

using ::testing::DoubleNear;
using ::testing::ElementsAre;
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
