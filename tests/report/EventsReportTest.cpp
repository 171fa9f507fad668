#include <gtest/gtest.h>

#include <sstream>

#include "ReportTestSupport.h"
#include "report/Reports.h"
#include "shared/ListColumns.h"

namespace ombrel {
namespace {

using namespace ::ombrel::testing;

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
