#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "parse/LogText.h"
#include "shared/Display.h"

namespace ombrel::testing {
namespace {

std::string DataCsv(const DamageTable& table) {
  std::ostringstream out;
  WriteDataCsv(out, table);
  return out.str();
}

TEST(DataCsv, DatesAsTheDisplayWritesThem) {
  // Across seconds, midnights, months and years, back and forth, before the
  // zero date and beyond four-digit years.
  // clang-format off
  std::vector<int64_t> seconds = {0, -1, -86400, -86401, 86399, 86400, 3'786'825'599,
      -59'926'608'000, -60'000'000'000, 253'402'300'799, 253'402'300'800, 400'000'000'000};
  // clang-format on
  for (int64_t s = 3'345'000'000; s < 3'345'000'000 + 3 * 86400; s += 3599) seconds.push_back(s);
  std::vector<DamageRecord> records;
  for (const int64_t s : seconds)
    records.push_back({DateTime{s}, "a", "b", 1, 0, kMelee, "hit", 0});
  const std::string csv = DataCsv(DamageTable::FromRecords(records));
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);  // the header
  for (const int64_t s : seconds) {
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line.substr(0, line.find(',')), display::DateTimeText(DateTime{s})) << s;
  }
}

}  // namespace
}  // namespace ombrel::testing
