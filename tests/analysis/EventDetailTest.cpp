#include "analysis/EventDetail.h"
#include "shared/ListColumns.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/EventFixture.h"

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

}  // namespace
}  // namespace ombrel
