#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "ReportTestSupport.h"
#include "analysis/EventDetail.h"
#include "analysis/SourceTable.h"
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
                   std::string glyph = "Glyph of Boundless Fury") {
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
  // The last row: the other colour, the twelfth toggle, in list order.
  EXPECT_THAT(lines[kFirstRowLine + 12],
              StartsWith("<tr bgColor=#b0c4de><td><a href=\"#12a\" id=\"12a\""));
  EXPECT_THAT(lines[kFirstRowLine + 12], HasSubstr("-</a>  Name1</td>"));
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
                        "<tr bgColor=#b0c4de>", "<td>Ann</td>", "<td>Glyph of Boundless Fury</td>",
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

TEST(EventDetailReport, TheBlocksOfAllCombatantsTogetherWalkTheEventAboutOnce) {
  // One event with hundreds of combatants, every fifth with a pet: each row's
  // block must take that combatant's records from one grouping of the event,
  // not walk the whole event again (hundreds of walks).
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
    records.push_back(Record(at, names[c], dragon, 0, kMiss, "slash"));
    records.push_back(Record(at, dragon, names[c], 70, kMelee, "claws"));
    if (c % 10 == 0) records.push_back(Record(at, names[c + 1], dragon, 30, kMelee, "bites"));
  }
  for (size_t k = 0; k < records.size(); ++k) records[k].Counter = static_cast<int64_t>(k);
  EventRecord event;
  event.Name = std::string(dragon);
  event.EndCounter = static_cast<int64_t>(records.size()) - 1;
  event.StartDate = At(2006, 1, 2, 20, 0, 0);
  event.EndDate = At(2006, 1, 2, 20, 0, 49);
  event.Duration = 50;
  const ParsedLog g(DamageTable::FromRecords(records), {}, {event});
  TextTable events_list(16);
  events_list.AddRow(EventsRow(std::string(dragon), "01/02/2006 20:00:00", "01/02/2006 20:00:49"));
  for (const bool include_pets : {true, false}) {
    const EventDetail detail = BuildEventDetail(g, 1, include_pets);
    const TextTable detail_list = EventDetailListRows(detail.rows);
    ASSERT_GE(detail_list.Rows(), 400u);
    std::ostringstream out;
    const size_t before = SourceRecordsVisited();
    WriteEventDetailReport(out, {g, 1, detail, include_pets, events_list, detail_list}, "");
    const size_t visited = SourceRecordsVisited() - before;
    // One walk to group the event, then each record once for its dealer's
    // row and once more for its owner's row when a pet dealt it.
    EXPECT_GE(visited, records.size());
    EXPECT_LE(visited, 3 * records.size()) << "include_pets " << include_pets;
  }
}

}  // namespace
}  // namespace ombrel
