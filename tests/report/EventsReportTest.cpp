#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "ReportTestSupport.h"
#include "report/Reports.h"
#include "shared/ListColumns.h"

namespace ombrel {
namespace {

using namespace ::ombrel::testing;
using namespace ::testing;

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

TEST(EventsReport, RowsAlternateColoursAndTheFirstEndDatesThePage) {
  TextTable list(16);
  // The first event ends just after midnight; later ones fall on other days.
  list.AddRow(EventsRow("a goblin", "12/31/2023 23:59:58", "01/01/2024 00:00:03"));
  list.AddRow(EventsRow("a rat", "02/01/2024 10:00:00", "02/01/2024 10:00:10"));
  std::vector<std::string> third = EventsRow("", "02/02/2024 10:00:00", "02/02/2024 10:00:10");
  third[11] = "";  // an empty cell
  list.AddRow(third);
  // Windows-1252 bytes pass through as they are.
  list.AddRow(EventsRow("a d\xE9mon", "03/01/2024 10:00:00", "03/01/2024 10:00:10"));

  const std::vector<std::string> lines = ReportLines(EventsReport(list));
  ASSERT_EQ(lines.size(), 18u);
  EXPECT_EQ(lines[1], "<head><title>Defensive damage on 01/01/2024</title>");
  EXPECT_THAT(lines[10], HasSubstr(">Defensive damage on 01/01/2024</font>"));
  EXPECT_THAT(lines[12], StartsWith("<tr bgColor=#b0c4de><td>a goblin</"));
  EXPECT_THAT(lines[13], StartsWith("<tr bgColor=#ffefd5><td>a rat</"));
  EXPECT_THAT(lines[14], StartsWith("<tr bgColor=#b0c4de><td></td><td>"));
  EXPECT_THAT(lines[14], HasSubstr("<td>61</td><td></td><td>30</td>"));
  EXPECT_THAT(lines[15], StartsWith("<tr bgColor=#ffefd5><td>a d\xE9mon</"));
  EXPECT_THAT(lines[16], StartsWith("<tr><TD align=left "));
  EXPECT_EQ(lines[17], "</trbody></Table>");
}

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

TEST(EventsReport, InsertedValuesAreEscaped) {
  TextTable list(16);
  std::vector<std::string> row =
      EventsRow("<b>Tim & \"Jenny\"</b>", "03/14/2024 21:05:00", "03/14/2024 21:05:09");
  row[2] = "a<b";
  list.AddRow(row);
  const std::vector<std::string> lines = ReportLines(EventsReport(list, "<now> & \"then\""));
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_THAT(
      lines[12],
      StartsWith(
          "<tr bgColor=#b0c4de><td>&lt;b&gt;Tim &amp; &quot;Jenny&quot;&lt;/b&gt;</td><td>"));
  EXPECT_THAT(lines[12], HasSubstr("<td>a&lt;b</td>"));
  EXPECT_THAT(lines[13], HasSubstr("created on &lt;now&gt; &amp; &quot;then&quot;</font>"));
}

}  // namespace
}  // namespace ombrel
