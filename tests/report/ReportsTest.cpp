#include <gtest/gtest.h>

#include <sstream>

#include "ReportTestSupport.h"
#include "analysis/CombatantDetail.h"
#include "analysis/EventDetail.h"
#include "report/Reports.h"
#include "shared/ListColumns.h"

namespace ombrel {
namespace {

using namespace ::ombrel::testing;

// Two events; the second, against "a goblin", is the one reported. Its
// records hold the ability casts that the two small tables show.
struct Fixture {
  ParsedLog g;
  EventDetail detail;
  TextTable events_list{16};
  TextTable detail_list{25};

  Fixture() {
    const std::string mob = "a goblin";
    const DamageRecord records[] = {
        Record(At(2024, 3, 13, 10, 0, 0), "Ann", "a rat", 5, 1, "hits"),
        Record(At(2024, 3, 14, 21, 5, 1), "Ann", "", 0, 4, "Glyph of Boundless Fury"),
        Record(At(2024, 3, 14, 21, 5, 2), "Bob", "", 0, 4, "Staunch Recovery"),
        Record(At(2024, 3, 14, 21, 5, 3), "Cy", "", 0, 4, "Intensity of the Resolute"),
        Record(At(2024, 3, 14, 21, 5, 4), "Ann", mob, 12, 1, "hits"),
    };
    EventRecord rat;
    rat.Name = "a rat";
    EventRecord goblin;
    goblin.Name = mob;
    goblin.StartCounter = 1;
    goblin.EndCounter = 4;
    goblin.Duration = 9;
    g = ParsedLog(DamageTable::FromRecords(records), {}, {rat, goblin});
    // The page's list date is the first listed event's end, not the reported one's.
    events_list.AddRow(EventsRow("a rat", "03/13/2024 10:00:00", "03/13/2024 10:00:00"));
    events_list.AddRow(EventsRow(mob, "03/14/2024 21:05:07", "03/14/2024 21:05:09"));
    detail_list.AddRow(DetailRow(" [ Total ] ", "03/14/2024 21:05:07", "03/14/2024 21:05:09"));
  }

  std::vector<std::string> Report() const {
    std::ostringstream out;
    WriteEventDetailReport(out, {g, 2, detail, false, events_list, detail_list},
                           "03/15/2024 08:00:01");
    return ReportLines(out.str());
  }
};

TEST(EventDetailReport, TotalOnlyReportIsTheFrameLineForLine) {
  // Only the Total row: no anchors, no hidden block; one glyph; no veteran
  // ability, whose table still shows one empty row. The title has one blank
  // before "on", the caption two; 9:05:07 in the evening shows 21:05:07.
  Fixture f;
  f.detail.GlyphList = {1};
  f.detail.VeteranList = {};
  EXPECT_EQ(f.Report(), GoldenLines("event-detail-total-only.htm"));
}

// Combatant rows with their blocks, the ability tables and escaping are
// checked byte for byte on report_fixture's reports (ReportOutputs.cmake).

// The rows a report unfolds, counted as it asks for them.
class CountedSources : public CombatantSources {
 public:
  explicit CountedSources(const CombatantSources& real) : real_(real) {}
  std::vector<SourceRow> For(std::string_view text) const override {
    asked.emplace_back(text);
    return real_.For(text);
  }
  mutable std::vector<std::string> asked;

 private:
  const CombatantSources& real_;
};

TEST(EventDetailReport, EveryBlockComesFromOneGroupingOfTheEvent) {
  // One event with hundreds of combatants, every fifth with a pet: the report
  // takes each row's block from the one grouping of the event it is given
  // (or makes), asking once per row, never walking the event again per row.
  std::vector<std::string> names;
  for (int c = 0; c < 400; ++c) {
    names.push_back("Fighter" + std::to_string(c));
    names.push_back(names.back() + "`s pet");
  }
  const std::string_view dragon = "an ancient dragon";
  std::vector<DamageRecord> records;
  for (size_t c = 0; c < names.size(); c += 2) {
    const DateTime at = At(2006, 1, 2, 20, 0, static_cast<int>(c % 50));
    records.push_back(Record(at, names[c], dragon, 100, kMelee, "slashes"));
    records.push_back(Record(at, dragon, names[c], 70, kMelee, "claws"));
    if (c % 10 == 0) records.push_back(Record(at, names[c + 1], dragon, 30, kMelee, "bites"));
  }
  EventRecord event;
  event.Name = std::string(dragon);
  event.EndCounter = static_cast<int64_t>(records.size()) - 1;
  event.Duration = 50;
  const ParsedLog g(DamageTable::FromRecords(records), {}, {event});
  TextTable events_list(16);
  events_list.AddRow(EventsRow(std::string(dragon), "01/02/2006 20:00:00", "01/02/2006 20:00:49"));
  const EventDetail detail = BuildEventDetail(g, 1, true);
  const TextTable detail_list = EventDetailListRows(detail.rows);
  const EventReportSources grouped(g, 1, true);
  const CountedSources counted(grouped);
  std::ostringstream given, made;
  WriteEventDetailReport(given, {g, 1, detail, true, events_list, detail_list, &counted}, "");
  WriteEventDetailReport(made, {g, 1, detail, true, events_list, detail_list}, "");
  EXPECT_EQ(given.str(), made.str());
  ASSERT_EQ(counted.asked.size(), detail_list.Rows() - 1);
  EXPECT_EQ(counted.asked.front(), "Fighter0 + pet");
  EXPECT_EQ(counted.asked.back(), "Fighter399");
}

std::string EventsReport(const TextTable& list, std::string_view created = "03/15/2024 08:00:01") {
  std::ostringstream out;
  WriteEventsReport(out, list, created);
  return out.str();
}

TEST(EventsReport, OneRowReportIsTheFrameLineForLine) {
  TextTable list(16);
  list.AddRow(EventsRow("a goblin", "03/14/2024 21:05:00", "03/14/2024 21:05:09"));
  const std::vector<std::string> lines = ReportLines(EventsReport(list));
  EXPECT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines, GoldenLines("events-one-row.htm"));
}

// More rows, escaping and other bytes: report_fixture's events.htm, byte for
// byte (ReportOutputs.cmake).

TEST(EventsReport, EmptyListIsDatedAsTheZeroDate) {
  // A parse that found nothing lists one empty event whose end is the zero date-time.
  TextTable list(16);
  list.AddRow(EventsRow("", "12/30/1899 00:00:00", "12/30/1899 00:00:00"));
  const std::vector<std::string> lines = ReportLines(EventsReport(list));
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[1], "<head><title>Defensive damage on 12/30/1899</title>");

  const std::vector<std::string> no_rows = ReportLines(EventsReport(EmptyList<EventsColumn>()));
  ASSERT_EQ(no_rows.size(), 14u);
  EXPECT_EQ(no_rows[1], "<head><title>Defensive damage on 12/30/1899</title>");
}

}  // namespace
}  // namespace ombrel
