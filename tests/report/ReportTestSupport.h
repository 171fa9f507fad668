#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "shared/DamageRecord.h"
#include "shared/DateTime.h"
#include "shared/TextTable.h"

namespace ombrel::testing {

// The lines of a report; every line must end with CR LF, no bare LF or CR.
inline std::vector<std::string> ReportLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t begin = 0;
  while (begin < text.size()) {
    const size_t end = text.find("\r\n", begin);
    if (end == std::string::npos) {
      ADD_FAILURE() << "last line lacks CR LF: " << text.substr(begin);
      lines.push_back(text.substr(begin));
      break;
    }
    lines.push_back(text.substr(begin, end - begin));
    begin = end + 2;
  }
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line break in: " << line;
  }
  return lines;
}

// A golden file's lines (stored with either line end).
inline std::vector<std::string> GoldenLines(const std::string& name) {
  const char* root = std::getenv("OMBREL_SOURCE_DIR");
  const std::string path =
      std::string(root != nullptr ? root : ".") + "/tests/report/golden/" + name;
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot open " << path;
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

inline DateTime At(int year, int month, int day, int hour, int minute, int second) {
  return *DateTime::FromCivil({year, month, day, hour, minute, second});
}

inline DamageRecord Record(DateTime date, std::string_view dealer, std::string_view taker,
                           int32_t damage, int32_t type, std::string_view name) {
  return {date, dealer, taker, damage, 0, type, name, 0};
}

// An events-list row of 16 cells and an event-detail row of 25: the name, the
// start and end texts, and fixed texts elsewhere.
// clang-format off
inline std::vector<std::string> EventsRow(std::string name, std::string start, std::string end) {
  return {std::move(name), "1234", "56", "10", "123.40", "5.60", std::move(start), std::move(end),
          "20", "3", "61", "20.23", "30", "1", "4", "14.00"};
}
inline std::vector<std::string> DetailRow(std::string name, std::string start, std::string end) {
  return {std::move(name), "1,234", "10", "123.40", "61.70", std::move(start), std::move(end),
          "20", "3", "5", "30", "1", "40", "56", "5.60", "2", "1", "0", "0", "1", "5", "42",
          "95.24%", "200.00%", "9.52%"};
}
// clang-format on

}  // namespace ombrel::testing
