#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "ReportTestSupport.h"
#include "report/Reports.h"

namespace ombrel {
namespace {

using namespace ::ombrel::testing;
using namespace ::testing;

constexpr size_t kFirstRowLine = 22;  // 0-based index of the Total row's line

// Two events; the second, against "a goblin", is the one reported. Its
// records hold the ability casts that the two small tables show.
struct Fixture {
  ParsedLog g;
  EventDetail detail;
  TextTable events_list{16};
  TextTable detail_list{25};

  explicit Fixture(std::string mob = "a goblin", std::string caster = "Ann",
                   std::string glyph = "Glyph of Ultimate Power") {
    const DamageRecord records[] = {
        Record(At(2024, 3, 13, 10, 0, 0), "Ann", "a rat", 5, 1, "hits"),
        Record(At(2024, 3, 14, 21, 5, 1), caster, "", 0, 4, glyph),
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

TEST(EventDetailReport, CombatantRowsCarryTheirTogglesInListOrder) {
  Fixture f;
  // Twelve combatants after the Total row, in an order a sort could leave.
  for (int i = 12; i >= 1; --i) {
    const std::string name = "Name" + std::to_string(i);
    f.detail_list.AddRow(DetailRow(name, "03/14/2024 21:05:07", "03/14/2024 21:05:08"));
  }
  const std::vector<std::string> lines = f.Report();
  ASSERT_EQ(lines.size(), 53u);

  EXPECT_THAT(lines[kFirstRowLine], StartsWith("<tr bgColor=#b0c4de><td>  [ Total ] </td><td>"));
  EXPECT_THAT(lines[kFirstRowLine], ::testing::EndsWith("<td>9.52%</td></tr>"));

  const std::string cells =
      "</td><td>1,234</td><td>10</td><td>123.40</td><td>61.70</td><td>21:05:07</td>"
      "<td>21:05:08</td><td>20</td><td>3</td><td>5</td><td>30</td><td>1</td><td>40</td>"
      "<td>56</td><td>5.60</td><td>2</td><td>1</td><td>0</td><td>0</td><td>1</td><td>5</td>"
      "<td>42</td><td>95.24%</td><td>200.00%</td><td>9.52%</td></tr>";
  EXPECT_EQ(lines[kFirstRowLine + 1],
            "<tr bgColor=#ffefd5><td>"
            "<a href=\"#1a\" id=\"1a\" onclick=\"applyDisplay('','1');\">+</a> "
            "<a href=\"#1a\" id=\"1b\" onclick=\"applyDisplay('none','1');\" "
            "style=\"display: none;\">-</a>  Name12" +
                cells + "<tbody id=\"1c\"  style=\"display: none;\">" +
                CombatantDetailRows(f.g, 2, "Name12", false) + "</tbody>");
  EXPECT_EQ(lines[kFirstRowLine + 12],
            "<tr bgColor=#b0c4de><td>"
            "<a href=\"#12a\" id=\"12a\" onclick=\"applyDisplay('','12');\">+</a> "
            "<a href=\"#12a\" id=\"12b\" onclick=\"applyDisplay('none','12');\" "
            "style=\"display: none;\">-</a>  Name1" +
                cells + "<tbody id=\"12c\"  style=\"display: none;\">" +
                CombatantDetailRows(f.g, 2, "Name1", false) + "</tbody>");
  EXPECT_EQ(lines[kFirstRowLine + 13], "<tr><td colspan=25>");
}

TEST(EventDetailReport, AbilityTablesShowOnlyRecordsOfTheirAbility) {
  Fixture f;
  f.detail.GlyphList = {1, 4};           // the second is a hit, not a glyph
  f.detail.VeteranList = {2, 3, 0, 99};  // a hit and an index past the table
  const std::vector<std::string> lines = f.Report();
  ASSERT_EQ(lines.size(), 58u);

  const std::vector<std::string> glyphs(lines.begin() + 27, lines.begin() + 34);
  EXPECT_EQ(glyphs, (std::vector<std::string>{
                        "<tr bgColor=#b0c4de>", "<td>Ann</td>", "<td>Glyph of Ultimate Power</td>",
                        "<td>03/14/2024 21:05:01</td>", "</tr>", "<tr bgColor=#ffefd5>", "</tr>"}));
  EXPECT_EQ(lines[34], "</trbody></Table>");

  EXPECT_THAT(lines[38], HasSubstr(">Veteran AA's on a goblin 03/13/2024</font>"));
  const std::vector<std::string> vets(lines.begin() + 40, lines.begin() + 52);
  EXPECT_EQ(vets, (std::vector<std::string>{
                      "<tr bgColor=#b0c4de>", "<td>Bob</td>", "<td>Staunch Recovery</td>",
                      "<td>03/14/2024 21:05:02</td>", "</tr>", "<tr bgColor=#ffefd5>",
                      "<td>Cy</td>", "<td>Intensity of the Resolute</td>",
                      "<td>03/14/2024 21:05:03</td>", "</tr>", "<tr bgColor=#b0c4de>", "</tr>"}));
  EXPECT_EQ(lines[52], "<tr bgColor=#ffefd5>");
  EXPECT_EQ(lines[53], "</tr>");
  EXPECT_EQ(lines[54], "</trbody></Table>");
}

TEST(EventDetailReport, InsertedValuesAreEscaped) {
  Fixture f("<Ann & \"Bob\">", "Al<i>", "Glyph of <b>&\"");
  f.detail.GlyphList = {1};
  f.detail_list.AddRow(DetailRow("Al<i>", "03/14/2024 21:05:07", "not a <date>"));
  const std::vector<std::string> lines = f.Report();
  ASSERT_EQ(lines.size(), 45u);
  const std::string mob = "&lt;Ann &amp; &quot;Bob&quot;&gt;";
  EXPECT_EQ(lines[1],
            "<head><title>Defensive damage for " + mob + ", by Party on 03/14/2024</title>");
  EXPECT_THAT(lines[20], HasSubstr(">Defensive damage for " + mob + ", by Party  on 03/14/2024<"));
  EXPECT_THAT(lines[kFirstRowLine + 1], HasSubstr("-</a>  Al&lt;i&gt;</td>"));
  // A start or end text that is no date-time is kept, escaped.
  EXPECT_THAT(lines[kFirstRowLine + 1], HasSubstr("<td>21:05:07</td><td>not a &lt;date&gt;</td>"));
  EXPECT_THAT(lines[kFirstRowLine + 1], HasSubstr("<tbody id=\"1c\"  style=\"display: none;\">"));
  EXPECT_THAT(lines[26], HasSubstr(">Glyph AA's on " + mob + " 03/13/2024<"));
  EXPECT_EQ(lines[29], "<td>Al&lt;i&gt;</td>");
  EXPECT_EQ(lines[30], "<td>Glyph of &lt;b&gt;&amp;&quot;</td>");
}

}  // namespace
}  // namespace ombrel
