#include "app/SortEventDetail.h"

#include "analysis/CombatantDetail.h"
#include "analysis/EventDetail.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace ombrel {
namespace {

using ::testing::ElementsAre;
using Col = EventDetailColumn;

// An event-detail row as the combatant summary renders it.
std::vector<std::string> Row(std::string name, std::string dealt = "", std::string duration = "1",
                             std::string dps = "0.00", std::string adps = "0.00") {
  // clang-format off
  return {std::move(name), std::move(dealt), std::move(duration), std::move(dps), std::move(adps),
          "01/02/2006 20:00:00", "01/02/2006 20:00:09", "30", "0", "1", "100", "100", "1", "1,234",
          "1,234.50", "1", "2", "3", "4", "5", "6", "7", "66.67%", "100.00%", "33.33%"};
  // clang-format on
}

TextTable List(std::vector<std::vector<std::string>> rows) {
  TextTable list = EmptyList<Col>();
  for (auto& row : rows) list.AddRow(std::move(row));
  return list;
}

std::vector<std::string> Column(const TextTable& list, Col column) {
  std::vector<std::string> cells;
  for (size_t r = 0; r < list.Rows(); ++r) cells.push_back(CellAt(list, r, column));
  return cells;
}

TEST(NameSortsBeforeTest, ComparesCharacterBytesLowFirstSkippingTheLastByteOfB) {
  // bob/Bob/Al and Ab/Ab2 are seen in the sorts below. Equal names keep their
  // order; e-acute is 0xE9, after 'z'. 0x80 is U+20AC, 0xAC is U+00AC: the low
  // bytes agree, the high bytes differ; as the last character of b the high
  // byte is never compared ("\x61" is "a"). 0x8A is U+0160: low byte 0x60 goes
  // ahead of 'a' (0x61).
  // clang-format off
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"Ann", "Ann", true}, {"", "Ann", false}, {"Ann", "", false}, {"", "", false},
      {"zed", "\xE9mile", true}, {"\x80\x61", "\xAC\x61", false}, {"\xAC\x61", "\x80\x61", true},
      {"x\x80", "x\xAC", true}, {"x\xAC", "x\x80", true}, {"\x8A", "a", true}, {"a", "\x8A", false}};
  // clang-format on
  for (const auto& [a, b, before] : cases)
    EXPECT_EQ(NameSortsBefore(a, b), before) << a << "|" << b;
}

TEST(SortEventDetailTest, ByNameAscendingBelowTheTotalRow) {
  TextTable list = List({Row(" [ Total ] "), Row("bob"), Row("Bob"), Row("Al")});
  SortEventDetail(list, Col::kDamageBy);
  EXPECT_THAT(Column(list, Col::kDamageBy), ElementsAre(" [ Total ] ", "Al", "Bob", "bob"));

  TextTable prefix = List({Row(" [ Total ] "), Row("Ab"), Row("Ab2")});
  SortEventDetail(prefix, Col::kDamageBy);
  EXPECT_THAT(Column(prefix, Col::kDamageBy), ElementsAre(" [ Total ] ", "Ab2", "Ab"));
}

TEST(SortEventDetailTest, ByValueDescendingWithTiesInTheirOrder) {
  TextTable list = List({Row(" [ Total ] ", "5,000"), Row("Nil1", ""), Row("Small", "999"),
                         Row("Big", "1,234"), Row("Nil2", ""), Row("Same", "999")});
  SortEventDetail(list, Col::kDmgDealt);
  EXPECT_THAT(Column(list, Col::kDamageBy),
              ElementsAre(" [ Total ] ", "Big", "Small", "Same", "Nil1", "Nil2"));
  EXPECT_THAT(Column(list, Col::kDmgDealt), ElementsAre("5,000", "1,234", "999", "999", "", ""));

  for (const bool lower_first : {true, false}) {
    TextTable rates =
        lower_first ? List({Row("T"), Row("Lo", "1", "1", "10.30"), Row("Hi", "1", "1", "10.40")})
                    : List({Row("T"), Row("Hi", "1", "1", "10.40"), Row("Lo", "1", "1", "10.30")});
    SortEventDetail(rates, Col::kDPSDealt);
    EXPECT_THAT(Column(rates, Col::kDamageBy), ElementsAre("T", "Hi", "Lo"));
    EXPECT_THAT(Column(rates, Col::kDPSDealt), ElementsAre(".00", "10.40", "10.30"));
  }

  TextTable durations = List({Row("T", "", "90"), Row("A", "", "9"), Row("B", "", "10")});
  SortEventDetail(durations, Col::kDuration);
  EXPECT_THAT(Column(durations, Col::kDamageBy), ElementsAre("T", "B", "A"));

  TextTable adps = List({Row("T"), Row("A", "", "1", "0", "0.50"), Row("B", "", "1", "0", "1.00"),
                         Row("C", "", "1", "0", "0.51")});
  SortEventDetail(adps, Col::kADPSDealt);
  EXPECT_THAT(Column(adps, Col::kDamageBy), ElementsAre("T", "B", "C", "A"));
  EXPECT_THAT(Column(adps, Col::kADPSDealt), ElementsAre(".00", "1.00", ".51", ".50"));
}

TEST(SortEventDetailTest, ManyTiesKeepTheirOrderUnderEveryKey) {
  // More rows than a plain std::sort puts through its insertion sort, so an
  // unstable order would show.
  std::vector<std::vector<std::string>> rows = {Row(" [ Total ] ")};
  std::vector<std::string> marks = {"66.67%"};
  for (int i = 0; i < 40; ++i) {
    rows.push_back(Row("Same", "100", "5", "20.00", "2.00"));
    rows.back()[At(Col::kAccuracy)] = std::to_string(i);
    marks.push_back(std::to_string(i));
  }
  for (const Col key :
       {Col::kDamageBy, Col::kDmgDealt, Col::kDuration, Col::kDPSDealt, Col::kADPSDealt}) {
    TextTable list = List(rows);
    SortEventDetail(list, key);
    EXPECT_EQ(Column(list, Col::kAccuracy), marks) << At(key);
  }
}

TEST(SortEventDetailTest, CellsAreRenderedAgainFromTheirValues) {
  TextTable list = List({Row(" [ Total ] ", "1,600", "12", "0.50", "1,333.33")});
  list.AddRow({"Odd", "x",   "y", "z", "", "not a date", "", "", "1,000", "-",  "",     "",   "",
               "",    "abc", "",  "",  "", "",           "", "", "kept",  "as", "they", "are"});
  SortEventDetail(list, Col::kDamageBy);
  EXPECT_THAT(list.Row(0), ElementsAre(" [ Total ] ", "1,600", "12", ".50", "1,333.33",
                                       "01/02/2006 20:00:00", "01/02/2006 20:00:09", "30", "0", "1",
                                       "100", "100", "1", "1234", "1234.5", "1", "2", "3", "4", "5",
                                       "6", "7", "66.67%", "100.00%", "33.33%"));
  // Unreadable cells read as 0.
  EXPECT_THAT(list.Row(1),
              ElementsAre("Odd", "", "0", ".00", ".00", "12/30/1899 00:00:00",
                          "12/30/1899 00:00:00", "0", "1000", "0", "0", "0", "0", "0", "0", "0",
                          "0", "0", "0", "0", "0", "kept", "as", "they", "are"));
}

TEST(SortEventDetailTest, OtherKeysAndEmptyListsChangeNothing) {
  const TextTable original = List({Row(" [ Total ] ", "", "1", "0.50"), Row("b"), Row("a")});
  for (const Col key : {Col::kStart, Col::kEnd, Col::kDefense, Col::kCount}) {
    TextTable list = original;
    SortEventDetail(list, key);
    EXPECT_EQ(list, original) << At(key);
  }
  TextTable empty = EmptyList<Col>();
  SortEventDetail(empty, Col::kDamageBy);
  EXPECT_EQ(empty.Rows(), 0u);
}

// The lists that hold numbers give the texts of the lists made at once: the
// event-detail list as first made and after runs of sorts (each sort reading
// back the texts the last one made), and the combatant-detail list, under both
// rule sets. The rows mix ties, rates below 1, nothing dealt, no duration, an
// empty and a Windows-1252 name, and sums too large for 15 digits.
TEST(ShownEventDetailTest, GivesTheTextsOfTheListsMadeAtOnce) {
  std::vector<CombatantSummary> rows(40);
  uint64_t state = 7;
  const auto next = [&state](uint64_t bound) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<int64_t>((state >> 33) % bound);
  };
  for (size_t i = 0; i < rows.size(); ++i) {
    CombatantSummary& r = rows[i];
    r.Name = i == 0 ? " [ Total ] " : "F" + std::to_string(next(12));
    r.DamageDealt = next(4) == 0 ? 0 : next(3000);
    r.DamageTaken = next(2) * next(900000);
    r.Duration = next(40);
    r.StartDate = DateTime{next(2) * (3'000'000'000 + next(5000))};
    r.EndDate = DateTime{r.StartDate.seconds + next(300)};
    r.MaxHitDealt = static_cast<int32_t>(next(500));
    r.HitsDealt = r.HitsTaken = static_cast<uint32_t>(next(60));
    r.SwingsDealt = r.SwingsTaken = r.HitsDealt + static_cast<uint32_t>(next(9));
    r.Misses = r.Parries = static_cast<uint32_t>(next(4));
    r.CritsDealt = r.CritsTaken = next(5);
  }
  rows[3].Name = "";
  rows[4].Name = "\xC9mile + pet";
  rows[5].DamageDealt = rows[6].DamageTaken = 987'654'321'098'765'432;
  rows[7].DamageDealt = -5;
  for (const LineRules rules : {LineRules::kDefault, LineRules::kExtended}) {
    const TextTable texts = EventDetailListTexts(rows, rules);
    EXPECT_EQ(EventDetailListRows(rows, rules), texts);
    EXPECT_EQ(CombatantDetailListRows(rows, 7, rules), CombatantDetailListTexts(rows, 7, rules));
    const std::vector<std::vector<Col>> runs = {
        {Col::kDamageBy, Col::kDPSDealt, Col::kDuration, Col::kDmgDealt, Col::kADPSDealt},
        {Col::kDPSDealt, Col::kDPSDealt, Col::kDamageBy},
        {Col::kADPSDealt, Col::kMisses, Col::kDuration}};
    for (const auto& run : runs) {
      TextTable sorted = texts;
      ShownEventDetail shown(EventDetailListRows(rows, rules));
      for (const Col key : run) {
        SortEventDetail(sorted, key);
        shown.Sort(key);
        EXPECT_EQ(shown.List(), sorted) << At(key);
      }
    }
  }
}

}  // namespace
}  // namespace ombrel
