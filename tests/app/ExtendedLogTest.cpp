// A generated log of a few dozen lines holding one line of every kind only the
// extended line rules read, parsed with those rules: the events list and the
// event-detail list against figures worked out by hand from the log's lines.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/App.h"
#include "shared/ListColumns.h"
#include "support/GeneratedLog.h"
#include "support/TestFiles.h"

namespace ombrel {
namespace {

template <size_t N>
size_t ColumnOf(const ListColumn (&columns)[N], std::string_view header) {
  for (size_t c = 0; c < N; ++c)
    if (columns[c].header == header) return c;
  ADD_FAILURE() << "no column " << header;
  return 0;
}

// The columns checked in every event-detail row, in this order.
constexpr std::string_view kDetailChecked[] = {
    "DamageBy",     "Dmg Dealt",    "Hits Dealt", "Max Hit Dealt", "Min Hit Dealt", "Dmg Taken",
    "Hits Taken",   "Misses",       "Parries",    "Dodges",        "Ripostes",      "Blocks",
    "Swings Taken", "Swings Dealt", "Accuracy",   "Crits",         "Crit Rate"};

TEST(ExtendedLogTest, EveryExtendedKindInAShortGeneratedLog) {
  const testing::TempDir dir("ombrel-extended");
  // 41 lines, one fight against "a gnoll shaman".
  testing::WriteFile(dir / "log.txt", testing::GeneratedLog(1, 3 << 10, [](auto& o) {
                       o.malformed_rate = 0;
                       o.extended_kinds = true;
                       o.every_extended_kind = true;
                     }));
  App app(dir.path());
  app.options().ExtendedLineRules = true;
  app.TakeSettingsSeconds("Tarlen", 18, false);
  ASSERT_TRUE(std::holds_alternative<ParsedRun*>(app.Parse(dir / "log.txt")));

  // The mob is written "A gnoll shaman" at the start of its own lines and "a gnoll shaman"
  // elsewhere: one event, seen first as "a gnoll shaman" (22:30:08 "You cleave ...") up to
  // 22:30:12 ("Fennick`s pet mauls ... for 31").
  // Taken, 13 hits: cleave 31, Gorrum hacks 31, "was hit by non-melee" 37, Annabelle's Frost Lance
  // 214, YOUR flames 2, Gorrum's thorns 5, Gorrum 25, Ann`s pet 8, Fennick 18 and 7, Fennick`s pet
  // 7 and 31, Ann 13 = 429, 429 / 4 s = 107.25, 429 / 13 = 33.00.
  // Dealt, 4 hits: Blight Touch on "you" 24, thorns on YOU 2, the damage over time "by a gnoll
  // shaman" 9 (the one without " by ..." has no dealer), Gorrum 18 = 53, 53 / 4 = 13.25.
  const TextTable& events = app.EventsList();
  ASSERT_EQ(events.Rows(), 1u);
  const std::vector<std::string> event_row = events.Row(0);
  EXPECT_EQ(event_row,
            (std::vector<std::string>{"a gnoll shaman", "429", "53", "4", "107.25", "13.25",
                                      "12/31/2005 22:30:08", "12/31/2005 22:30:12", "214", "2",
                                      "13", "33.00", "24", "2", "4", "13.25"}));

  EXPECT_TRUE(app.ChooseTab(3).empty());
  // Tarlen dealt the cleave 31, the old-style non-melee 37 and his flames 2 (3 hits), missed once
  // ("but miss!") and was parried once ("but a gnoll shaman parries!"): 5 swings, 4 of them not
  // missed. He took 24 + 2 + 9 = 35 in 3 hits, and dodged and blocked one swing each: 5 swings.
  // Gorrum dealt 31 + 5 (his thorns) + 25 and took 18. Ann (13) is shorter than any combatant
  // name a row is made for. The total row sums the misses and avoidances of the rows; its swings
  // taken are the 12 listed hits plus the miss and the parry, its swings dealt 4 hits + 2 avoided.
  // Crits: Tarlen's cleave (1 of his 3 hits) and Ann`s pet's 8 (its only hit); the total row's are
  // their sum over the 13 hits the gnoll took (Ann's uncounted 13 among them). The gnoll's own
  // crit on Tarlen (Blight Touch 24) is a hit he took, in no crit column of the list.
  const std::vector<std::vector<std::string>> expected = {
      {" [ Total ] ", "429", "4", "24", "2", "53", "13", "1", "1", "0", "0", "0", "14", "6",
       "92.86%", "2", "15.38%"},
      {"Tarlen", "70", "3", "37", "2", "35", "3", "1", "1", "0", "0", "0", "5", "5", "80.00%", "1",
       "33.33%"},
      {"Gorrum", "61", "3", "31", "5", "18", "1", "0", "0", "0", "0", "0", "1", "3", "100.00%", "0",
       "0.00%"},
      {"Annabelle", "214", "1", "214", "214", "0", "0", "0", "0", "0", "0", "0", "0", "1",
       "100.00%", "0", "0.00%"},
      {"Ann`s pet", "8", "1", "8", "8", "0", "0", "0", "0", "0", "0", "0", "0", "1", "100.00%", "1",
       "100.00%"},
      {"Fennick", "25", "2", "18", "7", "0", "0", "0", "0", "0", "0", "0", "0", "2", "100.00%", "0",
       "0.00%"},
      {"Fennick`s pet", "38", "2", "31", "7", "0", "0", "0", "0", "0", "0", "0", "0", "2",
       "100.00%", "0", "0.00%"},
  };
  const TextTable& detail = app.EventDetailList();
  ASSERT_EQ(detail.Rows(), expected.size());
  for (size_t r = 0; r < detail.Rows(); ++r) {
    std::vector<std::string> row;
    for (std::string_view header : kDetailChecked)
      row.push_back(detail.Cell(r, ColumnOf(kEventDetailColumns, header)));
    EXPECT_EQ(row, expected[r]) << "event-detail row " << r;
  }

  // Tarlen's sources: the critical cleave, the missed stab and the parried shot (no hit to divide
  // by), the non-melee 37 (Fire Shard) and the flames 2.
  app.SelectCombatant(1);
  EXPECT_TRUE(app.ChooseTab(4).empty());
  std::string sources;
  const TextTable& pc = app.CombatantDetailList();
  for (size_t r = 0; r < pc.Rows(); ++r) {
    for (std::string_view header : {"Damage Source", "Hits Dealt", "Crits", "Crit Rate"})
      sources += pc.Cell(r, ColumnOf(kCombatantDetailColumns, header)) + "|";
  }
  EXPECT_EQ(sources,
            "cleaves|1|1|100.00%|stabs|0|0|0.00%|shoots|0|0|0.00%|Fire Shard|1|0|0.00%|"
            "damage shield|1|0|0.00%|");

  // Read with the default rules the lists keep their columns, without the crits.
  app.options().ExtendedLineRules = false;
  ASSERT_TRUE(std::holds_alternative<ParsedRun*>(app.Parse(dir / "log.txt")));
  EXPECT_TRUE(app.ChooseTab(3).empty() && app.ChooseTab(4).empty());
  EXPECT_EQ(app.EventDetailList().Columns() * 100 + app.CombatantDetailList().Columns(),
            At(EventDetailColumn::kCrits) * 100 + At(CombatantDetailColumn::kCrits));
}

// The deaths and heals of several fights seen as one: those of each fight, a
// line that two fights share counted once.
TEST(ExtendedLogTest, DeathsAndHealsOfSeveralFightsSeenAsOne) {
  const testing::TempDir dir("ombrel-life");
  testing::WriteFile(dir / "log.txt",
                     testing::GeneratedLog(1, 256 << 10, [](auto& o) { o.extended_kinds = true; }));
  App app(dir.path());
  app.options().ExtendedLineRules = true;
  app.TakeSettingsSeconds("Tarlen", 18, false);
  ASSERT_TRUE(std::holds_alternative<ParsedRun*>(app.Parse(dir / "log.txt")));
  ASSERT_TRUE(app.LifePagesAvailable());
  // The rows of deaths.csv and healing.csv but their headers.
  auto lines = [&](auto& into) {
    for (const auto& [file, write] :
         {std::pair{"d.csv", &App::ExportDeathsCsv}, {"h.csv", &App::ExportHealingCsv}}) {
      ASSERT_FALSE((app.*write)(dir / file));
      std::istringstream text(testing::ReadFile(dir / file));
      std::string line;
      for (std::getline(text, line); std::getline(text, line);) into.insert(line);
    }
  };
  std::set<std::string> each;
  std::vector<size_t> rows;
  for (size_t row = 0; row < app.EventsList().Rows(); ++row) {
    app.SelectEvent(row);
    app.ChooseTab(5);
    lines(each);
    rows.push_back(row);
  }
  app.SelectEvents(rows);
  app.ChooseTab(6);
  EXPECT_EQ(app.ShownPage(), 5);
  EXPECT_EQ(app.FrameCaption(5), "Healing - a gnoll + 8 more");
  std::multiset<std::string> all;
  lines(all);
  EXPECT_EQ(std::set<std::string>(all.begin(), all.end()), each);
  EXPECT_EQ(all.size(), each.size());
  EXPECT_GT(all.size(), 20u);
}

}  // namespace
}  // namespace ombrel
