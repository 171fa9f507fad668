#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "shared/DamageRecord.h"
#include "shared/DamageTable.h"

namespace ombrel::testing {

// The fields a rule decides, for compact expectations.
struct Expected {
  std::string_view dealer;
  std::string_view taker;
  int32_t damage;
  int32_t type;
  std::string_view name;
  int64_t counter;
};

inline void ExpectRecord(const DamageTable& table, size_t index, const Expected& e) {
  ASSERT_LT(index, table.size());
  const DamageRecord r = table[index];
  EXPECT_EQ(r.Dealer, e.dealer) << "record " << index;
  EXPECT_EQ(r.Taker, e.taker) << "record " << index;
  EXPECT_EQ(r.Damage, e.damage) << "record " << index;
  EXPECT_EQ(r.Type, e.type) << "record " << index;
  EXPECT_EQ(r.Name, e.name) << "record " << index;
  EXPECT_EQ(r.Counter, e.counter) << "record " << index;
  EXPECT_EQ(r.Crit, 0) << "record " << index;
}

// The table holds exactly the `expected` records, in order.
inline void ExpectRecords(const DamageTable& table, std::initializer_list<Expected> expected) {
  ASSERT_EQ(table.size(), expected.size());
  size_t index = 0;
  for (const Expected& e : expected) ExpectRecord(table, index++, e);
}

}  // namespace ombrel::testing
