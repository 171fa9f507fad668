#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "ReportTestSupport.h"
#include "report/CombatantDetailRows.h"
#include "report/Reports.h"

namespace ombrel {
namespace {

using namespace ::ombrel::testing;
using namespace ::testing;

constexpr std::string_view kUnnamedRow =
    "<tr><td></td><td></td><td>1</td><td>.00</td><td>.00</td><td>00:00:00</td><td>00:00:00</td>"
    "<td>-</td><td>-</td><td>-</td><td>0</td><td>0</td><td>0</td><td>-</td><td>-</td><td>0</td>"
    "<td>0</td><td>0</td><td>0</td><td>0</td><td>-</td><td>0</td><td>0.00%</td><td>0.00%</td>"
    "<td>0.00%</td></tr>";

TEST(CombatantDetailRows, RendersTwentyFiveCellsPerRowJoinedWithNothing) {
  // Accuracy 60.00%.
  const SourceRow hits{.Name = "hits",
                       .DamageDealt = 12345,
                       .StartDate = At(2024, 3, 14, 21, 5, 7),
                       .EndDate = At(2024, 3, 14, 21, 5, 17),
                       .Duration = 10,
                       .MaxHitDealt = 900,
                       .HitsDealt = 6,
                       .SwingsDealt = 10,
                       .Misses = 4};
  // A pet's row whose name needs escaping; with 1 parry and 2 dodges, evasion 100.00%.
  const SourceRow pet{.Name = "<b>&\"",
                      .DamageDealt = 5,
                      .StartDate = At(2024, 3, 14, 21, 5, 7),
                      .EndDate = At(2024, 3, 14, 21, 5, 7),
                      .Duration = 1,
                      .MaxHitDealt = 5,
                      .MinHitDealt = 5,
                      .HitsDealt = 1,
                      .SwingsDealt = 7,
                      .Misses = 3,
                      .Parries = 1,
                      .Dodges = 2,
                      .HasPet = true};
  const SourceRow rows[] = {hits, pet};
  EXPECT_EQ(RenderCombatantDetailRows(rows, 20),
            "<tr><td>hits</td><td>12,345</td><td>10</td><td>1,234.50</td><td>617.25</td>"
            "<td>21:05:07</td><td>21:05:17</td><td>-</td><td>-</td><td>-</td><td>900</td>"
            "<td>0</td><td>6</td><td>-</td><td>-</td><td>4</td><td>0</td><td>0</td><td>0</td>"
            "<td>0</td><td>-</td><td>10</td><td>60.00%</td><td>0.00%</td><td>0.00%</td></tr>"
            "<tr><td>Pet - &lt;b&gt;&amp;&quot;</td><td>5</td><td>1</td><td>5.00</td>"
            "<td>.25</td><td>21:05:07</td><td>21:05:07</td><td>-</td><td>-</td><td>-</td>"
            "<td>5</td><td>5</td><td>1</td><td>-</td><td>-</td><td>3</td><td>1</td><td>2</td>"
            "<td>0</td><td>0</td><td>-</td><td>7</td><td>57.14%</td><td>100.00%</td>"
            "<td>42.86%</td></tr>");
}

TEST(CombatantDetailRows, NothingToShowIsTheUnnamedRow) {
  EXPECT_EQ(RenderCombatantDetailRows({}, 10), kUnnamedRow);
  // An unnamed row as the walk leaves it, before any record was counted.
  const SourceRow fresh[] = {SourceRow{}};
  EXPECT_EQ(RenderCombatantDetailRows(fresh, 10), kUnnamedRow);
  // No such event.
  const ParsedLog g;
  EXPECT_EQ(CombatantDetailRows(g, 0, "Ann", false), kUnnamedRow);
  EXPECT_EQ(CombatantDetailRows(g, 2, "Ann", false), kUnnamedRow);
}

// One fight against "a goblin" in which Ann, her pet and warder, Annabelle and
// JoAnn all strike, the goblin hits back, Ann casts and hits a rat.
ParsedLog AnnsFight() {
  auto t = [](int s) { return At(2024, 3, 14, 21, 5, s); };
  const DamageRecord records[] = {
      Record(t(0), "Ann", "a goblin", 10, 1, "hit"),
      Record(t(1), "Annabelle", "a goblin", 100, 1, "hits"),
      Record(t(2), "Ann`s pet", "a goblin", 5, 1, "bites"),
      Record(t(3), "a goblin", "Ann", 7, 1, "hits"),
      Record(t(4), "Ann", "a goblin", 0, 4, "Fire Bolt"),
      Record(t(5), "Ann", "a rat", 50, 1, "hits"),
      Record(t(6), "Ann`s pet", "a goblin", 20, 1, "hits"),
      Record(t(7), "JoAnn", "a goblin", 1000, 1, "hits"),
      Record(t(8), "Ann", "a goblin", 3, 1, "bite"),
      Record(t(9), "Ann`s pet", "a goblin", 0, 5, "hit"),
      Record(t(10), "Ann`s warder", "a goblin", 4, 2, "Spirit Strike"),
  };
  EventRecord fight;
  fight.Name = "a goblin";
  fight.StartDate = t(0);
  fight.EndDate = t(10);
  fight.Duration = 10;
  fight.StartCounter = 0;
  fight.EndCounter = 10;
  return ParsedLog(DamageTable::FromRecords(records), {}, {fight});
}

// Ann's three rows; "hits" and "Spirit Strike" were last fed by the pet and the warder.
constexpr std::string_view kAnnsRows =
    "<tr><td>Pet - hits</td><td>30</td><td>9</td><td>3.33</td><td>3.00</td><td>21:05:00</td>"
    "<td>21:05:09</td><td>-</td><td>-</td><td>-</td><td>20</td><td>10</td><td>2</td>"
    "<td>-</td><td>-</td><td>1</td><td>0</td><td>0</td><td>0</td><td>0</td><td>-</td>"
    "<td>3</td><td>66.67%</td><td>0.00%</td><td>0.00%</td></tr>"
    "<tr><td>bites</td><td>8</td><td>6</td><td>1.33</td><td>.80</td><td>21:05:02</td>"
    "<td>21:05:08</td><td>-</td><td>-</td><td>-</td><td>5</td><td>3</td><td>2</td>"
    "<td>-</td><td>-</td><td>0</td><td>0</td><td>0</td><td>0</td><td>0</td><td>-</td>"
    "<td>2</td><td>100.00%</td><td>0.00%</td><td>0.00%</td></tr>"
    "<tr><td>Pet - Spirit Strike</td><td>4</td><td>1</td><td>4.00</td><td>.40</td><td>21:05:10</td>"
    "<td>21:05:10</td><td>-</td><td>-</td><td>-</td><td>4</td><td>4</td><td>1</td>"
    "<td>-</td><td>-</td><td>0</td><td>0</td><td>0</td><td>0</td><td>0</td><td>-</td>"
    "<td>1</td><td>100.00%</td><td>0.00%</td><td>0.00%</td></tr>";

// Which records each name takes in is checked with the combatant detail; here the
// walk's rows as the report unfolds them.
TEST(CombatantDetailRowsWalk, ReportUnfoldsThePetRowWithItsSuffix) {
  const ParsedLog g = AnnsFight();
  TextTable events_list(16);
  events_list.AddRow(EventsRow("a goblin", "03/14/2024 21:05:00", "03/14/2024 21:05:10"));
  TextTable detail_list(25);
  detail_list.AddRow(DetailRow(" [ Total ] ", "03/14/2024 21:05:00", "03/14/2024 21:05:10"));
  detail_list.AddRow(DetailRow("Ann + pet", "03/14/2024 21:05:00", "03/14/2024 21:05:10"));
  std::ostringstream out;
  const EventDetail no_casts;
  WriteEventDetailReport(out, {g, 1, no_casts, /*include_pets=*/true, events_list, detail_list},
                         "03/15/2024 08:00:01");
  const std::vector<std::string> lines = ReportLines(out.str());
  ASSERT_GT(lines.size(), 23u);
  EXPECT_THAT(lines[23], HasSubstr("-</a>  Ann + pet</td>"));
  EXPECT_THAT(lines[23], ::testing::EndsWith("<tbody id=\"1c\"  style=\"display: none;\">" +
                                             std::string(kAnnsRows) + "</tbody>"));
}

}  // namespace
}  // namespace ombrel
