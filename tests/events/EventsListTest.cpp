#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "events/BuildEvents.h"
#include "shared/DamageRecord.h"
#include "shared/DamageTable.h"

namespace ombrel {
namespace {

const DateTime kStart = *DateTime::FromCivil({2005, 12, 31, 23, 59, 58});

DamageRecord Rec(int64_t second, std::string_view dealer, std::string_view taker, int32_t damage) {
  DamageRecord r;
  r.Date = DateTime{kStart.seconds + second};
  r.Dealer = dealer;
  r.Taker = taker;
  r.Damage = damage;
  r.Type = kMelee;
  return r;
}

std::vector<std::string> Row(const TextTable& list, size_t row) {
  const auto cells = list.Row(row);
  return {cells.begin(), cells.end()};
}

std::string Csv(const std::vector<EventRecord>& events) {
  std::ostringstream out;
  WriteEventsCsv(out, events);
  return out.str();
}

const std::string kHeader =
    "Mob,Damage Taken,Duration,Damage Dealt,Start Date,End Date,Start Counter,End Counter,"
    "Max Hit Taken,Min Hit Taken,Hits Taken,Max Hit Dealt,Min Hit Dealt,Hits Dealt\r\n";

TEST(EventsList, RowsAndCsvOfFights) {
  // A gnoll taking three hits over 3 seconds across midnight and dealing none;
  // a one-record fight of an orc, with a comma in its name.
  const std::vector<DamageRecord> records = {
      Rec(0, "Tarlen", "a gnoll", 1000000), Rec(1, "Tarlen", "a gnoll", 234567),
      Rec(2, "Tarlen", "Grunt, the orc", 1), Rec(3, "Tarlen", "a gnoll", 0)};
  const auto events =
      BuildEvents(DamageTable::FromRecords(records), {"a gnoll", "Grunt, the orc"}, 18);
  const TextTable list = EventsListRows(events);
  ASSERT_EQ(list.Columns(), 16u);
  ASSERT_EQ(list.Rows(), 2u);
  EXPECT_EQ(Row(list, 0),
            (std::vector<std::string>{"a gnoll", "1234567", "0", "3", "411,522.33", "0.00",
                                      "12/31/2005 23:59:58", "01/01/2006 00:00:01", "1000000", "0",
                                      "3", "411,522.33", "0", "0", "0", "0"}));
  EXPECT_EQ(Row(list, 1), (std::vector<std::string>{"Grunt, the orc", "1", "0", "1", "1.00", "0.00",
                                                    "01/01/2006 00:00:00", "01/01/2006 00:00:00",
                                                    "1", "1", "1", "1.00", "0", "0", "0", "0"}));
  EXPECT_EQ(Csv(events), kHeader +
                             "a gnoll,1234567,3,0,12/31/2005 23:59:58,01/01/2006 00:00:01,0,3,"
                             "1000000,0,3,0,0,0\r\n"
                             "\"Grunt, the orc\",1,0,0,01/01/2006 00:00:00,01/01/2006 00:00:00,"
                             "2,2,1,1,1,0,0,0\r\n");
}

TEST(EventsList, RatesAveragesAndTheClockGoingBack) {
  EventRecord e;
  e.Name = "a gnoll";
  e.DamageDealt = 1;
  e.HitsDealt = 2;
  e.StartDate = DateTime{kStart.seconds + 100};
  e.EndDate = kStart;  // the clock went back during the fight
  e.Duration = 1;
  const TextTable list = EventsListRows({e});
  EXPECT_EQ(list.Cell(0, 4), "0.00");   // DPSTaken
  EXPECT_EQ(list.Cell(0, 5), "1.00");   // DPSDealt
  EXPECT_EQ(list.Cell(0, 11), "0");     // no hit taken: the average is a bare 0
  EXPECT_EQ(list.Cell(0, 15), "0.50");  // one damage over two hits
  // The file gives the raw difference, negative here.
  EXPECT_NE(Csv({e}).find("a gnoll,0,-100,1,"), std::string::npos);
}

TEST(EventsList, EmptyResultRow) {
  const auto events = BuildEvents(DamageTable{}, {""}, 18);
  EXPECT_EQ(
      Row(EventsListRows(events), 0),
      (std::vector<std::string>{"", "0", "0", "1", "0.00", "0.00", "12/30/1899 00:00:00",
                                "12/30/1899 00:00:00", "0", "0", "0", "0", "0", "0", "0", "0"}));
  EXPECT_EQ(Csv(events),
            kHeader + ",0,0,0,12/30/1899 00:00:00,12/30/1899 00:00:00,0,0,0,0,0,0,0,0\r\n");
}

}  // namespace
}  // namespace ombrel
