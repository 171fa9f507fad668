#include "shared/ParsedLog.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace ombrel {
namespace {

DamageTable OneHit() {
  DamageRecord r;
  r.Dealer = "Tarlen";
  r.Taker = "a gnoll";
  r.Type = kMelee;
  r.Name = "hits";
  return DamageTable::FromRecords(std::vector<DamageRecord>{r});
}

TEST(ParsedLog, MobListStaysWithItsTable) {
  DamageTable table = OneHit();
  const std::string_view gnoll = table[0].Taker;
  ParsedLog log(std::move(table), {gnoll}, {});
  // Moved twice, the names still read from the one text table that moved along.
  ParsedLog moved = std::move(log);
  ParsedLog again;
  again = std::move(moved);
  ASSERT_EQ(again.MobList().size(), 1u);
  EXPECT_EQ(again.MobList()[0], "a gnoll");
  EXPECT_EQ(again.MobList()[0].data(), again.DamageTable()[0].Taker.data());
  // An empty event table gets its one empty event.
  ASSERT_EQ(again.EventTable().size(), 1u);
  EXPECT_EQ(again.FindEvent(1), &again.EventTable()[0]);
  EXPECT_TRUE(again.FindEvent(0) == nullptr && again.FindEvent(2) == nullptr);

  // A name that views other memory is refused, whatever its text.
  const std::string elsewhere = "a gnoll";
  EXPECT_THROW(ParsedLog(OneHit(), {elsewhere}, {}), std::invalid_argument);
  EXPECT_THROW(ParsedLog(DamageTable{}, {"a gnoll"}, {}), std::invalid_argument);

  // No log: no records, one empty mob entry, one empty event.
  const ParsedLog none;
  EXPECT_TRUE(none.DamageTable().empty() && none.EventTable().size() == 1u);
  EXPECT_TRUE(none.MobList().size() == 1 && none.MobList()[0].empty());
}

}  // namespace
}  // namespace ombrel
