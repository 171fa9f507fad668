// timeline.csv against textpclist.csv on generated logs: read back as CSV, the
// lines of every event-detail row add up to that row's "Dmg Dealt" and
// "Dmg Taken", seconds ascend and the rows keep the list's order within a
// second.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/App.h"
#include "shared/ListColumns.h"
#include "support/GeneratedLog.h"
#include "support/TestFiles.h"

namespace ombrel {
namespace {

namespace fs = std::filesystem;

using CsvRow = std::vector<std::string>;

// The generated names hold no comma or quote: fields split at commas, lines
// end with CR LF.
std::vector<CsvRow> ReadCsv(const fs::path& path) {
  const std::string text = testing::ReadFile(path);
  EXPECT_TRUE(text.ends_with("\r\n")) << path;
  std::vector<CsvRow> rows;
  for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
    std::stringstream line(text.substr(at, end - at));
    CsvRow& row = rows.emplace_back();
    for (std::string field; std::getline(line, field, ',');) row.push_back(field);
  }
  return rows;
}

using Sums = std::pair<int64_t, int64_t>;  // dealt, taken

// Checks every event of one generated log in `dir`; counts the lines with a
// negative second.
void CheckEveryEvent(const fs::path& dir, const loggen::Options& generate, bool pets,
                     int& negative_seconds) {
  testing::WriteFile(dir / "log.txt", testing::GeneratedLog(generate));
  App app(dir);
  app.options().PrintDetails = true;
  app.TakeSettingsSeconds(generate.character, 18, pets);
  EXPECT_TRUE(std::holds_alternative<ParsedRun*>(app.Parse(dir / "log.txt")));
  const size_t events = app.EventsList().Rows();
  EXPECT_GT(events, 5u);
  for (size_t e = 0; e < events; ++e) {
    SCOPED_TRACE("event " + std::to_string(e + 1) + (pets ? " with pets" : ""));
    app.SelectEvent(e);
    EXPECT_TRUE(app.ChooseTab(3).empty());
    // Every event in another order of the list: as built, or by one of the sort headers.
    app.EventDetailHeaderClicked(static_cast<int>(e % 6));
    ASSERT_FALSE(app.ExportTimelineCsv(dir / kTimelineCsvFile));

    std::map<std::string, Sums> listed;
    const std::vector<CsvRow> details = ReadCsv(dir / kTextPcListCsvFile);
    ASSERT_GE(details.size(), 2u);
    for (size_t r = 2; r < details.size(); ++r) {  // header, total row
      listed[details[r][0]] = {std::stoll(details[r][1]), std::stoll(details[r][2])};
    }
    std::map<std::string, size_t> list_position;
    for (size_t r = 1; r < app.EventDetailList().Rows(); ++r) {
      list_position[CellAt(app.EventDetailList(), r, EventDetailColumn::kDamageBy)] = r;
    }

    std::map<std::string, Sums> summed;
    for (const auto& [name, sums] : listed) summed[name] = {};
    const std::vector<CsvRow> lines = ReadCsv(dir / kTimelineCsvFile);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], (CsvRow{"Second", "Combatant", "Damage Dealt", "Damage Taken"}));
    int64_t last_second = INT64_MIN;
    size_t last_position = 0;
    for (size_t l = 1; l < lines.size(); ++l) {
      const CsvRow& line = lines[l];
      ASSERT_EQ(line.size(), 4u);
      ASSERT_TRUE(summed.contains(line[1])) << "not an event-detail row: " << line[1];
      const int64_t second = std::stoll(line[0]);
      const Sums cell{std::stoll(line[2]), std::stoll(line[3])};
      EXPECT_NE(cell, Sums{}) << "line " << l;
      summed[line[1]].first += cell.first;
      summed[line[1]].second += cell.second;
      negative_seconds += second < 0;
      const size_t position = list_position.at(line[1]);
      EXPECT_TRUE(second > last_second || (second == last_second && position > last_position))
          << "line " << l << " out of order";
      last_second = second;
      last_position = position;
    }
    EXPECT_EQ(summed, listed);
  }
}

TEST(TimelineFilesTest, RowsAddUpToTheEventDetailOnGeneratedLogs) {
  for (const bool clock_goes_back : {false, true}) {
    for (const bool pets : {false, true}) {
      const testing::TempDir dir("ombrel-timeline");
      int negative = 0;
      loggen::Options options;
      options.seed = 3;
      options.target_bytes = 512 << 10;
      options.clock_goes_back = clock_goes_back;
      CheckEveryEvent(dir, options, pets, negative);
      // Seconds before the start come only from a clock that went back.
      EXPECT_TRUE(clock_goes_back || negative == 0);
    }
  }
}

}  // namespace
}  // namespace ombrel
