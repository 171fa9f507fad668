#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/CombatantDetail.h"
#include "analysis/EventRange.h"
#include "report/CombatantDetailRows.h"
#include "report/HtmlEscape.h"
#include "report/PageFrame.h"
#include "report/Reports.h"
#include "shared/Display.h"
#include "shared/ListColumns.h"

namespace ombrel {
namespace {

using Column = EventDetailColumn;

constexpr std::string_view kDetailHeaderRow =
    "<tr bgColor=#a9a9a9><td>Damage By</td><td>Total</td><td>Duration</td><td>DPS</td>"
    "<td>ADPS</td><td>Start Time</td><td>End Time</td><td>Max Hit Taken</td>"
    "<td>Min Hit Taken</td><td>Hits Taken</td><td>Max Hit Dealt</td><td>Min Hit Dealt</td>"
    "<td>Hits Dealt</td><td>Total Taken</td><td>DPS Taken</td><td>Misses</td><td>Parries</td>"
    "<td>Dodges</td><td>Ripostes</td><td>Blocks</td><td>Swings Taken</td><td>Swings Dealt</td>"
    "<td>Accuracy</td><td>Evasion</td><td>Defense</td></tr>";
// The extended rules' headers, before the header row's "</tr>".
constexpr std::string_view kCritHeaders = "<td>Crits</td><td>Crit Rate</td>";

// The columns the report shows: those of the list (the extended rules' crits
// when it holds them), every column of the default rules at least.
size_t ShownColumns(const TextTable& list) {
  return std::clamp(list.Columns(), ColumnCount<Column>(LineRules::kDefault), At(Column::kCount));
}

// The script behind the "+" and "-" anchors: tag + 'a' is "+", tag + 'b' is
// "-", tag + 'c' the hidden block of detail rows.
constexpr std::string_view kScriptLines[] = {
    "<script> function applyDisplay(value,tag) {",
    "if (value==''){",
    "document.getElementById(tag + 'a').style.display = 'none';",
    "document.getElementById(tag + 'b').style.display = '';   }",
    "else{",
    "document.getElementById(tag + 'a').style.display = '';",
    "document.getElementById(tag + 'b').style.display = 'none';   }",
    "document.getElementById(tag + 'c').style.display = value; }",
    "</script>",
};

std::string CellOf(const TextTable& list, size_t row, size_t column) {
  return row < list.Rows() && column < list.Columns() ? list.Cell(row, column) : std::string();
}

// The list's start and end date-times are shown as the time of day only; a
// text that is no date-time is kept as it stands.
std::string TimeOfDayCell(std::string_view cell) {
  const std::optional<DateTime> t = display::ReadDateTime(cell);
  return t ? display::TimeText(*t) : std::string(cell);
}

void AppendToggleAnchors(std::string& line, const std::string& p) {
  line +=
      "<a href=\"#" + p + "a\" id=\"" + p + "a\" onclick=\"applyDisplay('','" + p + "');\">+</a> ";
  line += "<a href=\"#" + p + "a\" id=\"" + p + "b\" onclick=\"applyDisplay('none','" + p +
          "');\" style=\"display: none;\">-</a> ";
}

void WriteCombatantRows(std::ostream& out, const EventDetailReportInput& input) {
  const TextTable& event_detail_list = input.event_detail_list;
  std::string line;
  const size_t rows = event_detail_list.Rows();
  // The event's records are grouped by dealer once for all the rows.
  std::optional<EventReportSources> grouped;
  const CombatantSources& sources =
      input.sources != nullptr ? *input.sources
                               : grouped.emplace(input.log, input.fights, input.include_pets);
  const FightUnion fights(input.log, input.fights);
  const int64_t event_duration = fights.empty() ? 1 : fights.Summary().Duration;
  const size_t columns = ShownColumns(event_detail_list);
  const bool crits = columns > ColumnCount<Column>(LineRules::kDefault);
  for (size_t p = 0; p < rows; ++p) {
    const std::string id = std::to_string(p);
    const std::string name = CellOf(event_detail_list, p, At(Column::kDamageBy));
    line.assign(html::RowOpener(p));
    line += "<td>";
    // Row 0 is the Total row: no anchors and no hidden block.
    if (p >= 1) AppendToggleAnchors(line, id);
    line += ' ';
    AppendHtmlEscaped(line, name);
    line += "</td>";
    for (const ListColumn& column : kEventDetailColumns) {
      if (column.position == At(Column::kDamageBy)) continue;
      if (column.position >= columns) break;
      const std::string cell = CellOf(event_detail_list, p, column.position);
      line += "<td>";
      if (column.position == At(Column::kStart) || column.position == At(Column::kEnd))
        AppendHtmlEscaped(line, TimeOfDayCell(cell));
      else
        AppendHtmlEscaped(line, cell);
      line += "</td>";
    }
    line += "</tr>";
    if (p >= 1) {
      line += "<tbody id=\"" + id + "c\"  style=\"display: none;\">";
      // The name goes as listed, " + pet" included: the rows then take the pets in.
      line += RenderCombatantDetailRows(sources.For(name), event_duration, crits);
      line += "</tbody>";
    }
    html::WriteLine(out, line);
  }
}

// One of the two ability tables, nested in a cell that spans the main table.
// An empty list still writes one empty row, as an empty list always has.
void WriteAbilityTable(std::ostream& out, const DamageTable& table, size_t columns,
                       std::string_view caption, std::string_view header,
                       const std::vector<int64_t>& list,
                       const std::function<bool(std::string_view)>& is_ability) {
  html::WriteLine(out, "<tr><td colspan=" + std::to_string(columns) + ">");
  html::WriteLine(out, html::kTableOpenLine);
  html::WriteLine(out, html::CaptionBar(3, caption));
  html::WriteLine(out, header);
  const size_t entries = list.empty() ? 1 : list.size();
  for (size_t q = 0; q < entries; ++q) {
    html::WriteLine(out, html::RowOpener(q));
    const int64_t index = list.empty() ? -1 : list[q];
    if (index >= 0 && static_cast<size_t>(index) < table.size()) {
      const DamageRecord r = table[static_cast<size_t>(index)];
      if (is_ability(r.Name)) {
        html::WriteLine(out, "<td>" + HtmlEscaped(r.Dealer) + "</td>");
        html::WriteLine(out, "<td>" + HtmlEscaped(r.Name) + "</td>");
        html::WriteLine(out, "<td>" + HtmlEscaped(display::DateTimeText(r.Date)) + "</td>");
      }
    }
    html::WriteLine(out, "</tr>");
  }
  html::WriteLine(out, "</trbody></Table>");
  html::WriteLine(out, "</td></tr>");
}

bool IsGlyph(std::string_view name) {
  return name.find("Glyph of") != std::string_view::npos;
}

bool IsVeteran(std::string_view name) {
  return name.find("Staunch Recovery") != std::string_view::npos ||
         name.find("Intensity of the Resolute") != std::string_view::npos;
}

}  // namespace

void WriteEventDetailReport(std::ostream& out, const EventDetailReportInput& input,
                            std::string_view created) {
  const TextTable& events_list = input.events_list;
  const TextTable& event_detail_list = input.event_detail_list;
  // The first fight's mob as the events list shows it, and how many more.
  const FightUnion fights(input.log, input.fights);
  const std::vector<int32_t>& numbers = fights.EventNumbers();
  const int32_t event_number = numbers.empty() ? 0 : numbers.front();
  const size_t event_row = event_number >= 1 ? static_cast<size_t>(event_number) - 1 : SIZE_MAX;
  const std::string mob = HtmlEscaped(
      UnionCaption(CellOf(events_list, event_row, At(EventsColumn::kMob)), numbers.size()));
  // S: the event's start, from the Total row; E: the report date of the events list.
  const std::string event_date =
      html::ListDateText(CellOf(event_detail_list, 0, At(Column::kStart)));
  const std::string list_date = html::ReportDate(events_list);

  html::WriteLine(out, html::kDocTypeLine);
  html::WriteLine(
      out, "<head><title>Defensive damage for " + mob + ", by Party on " + event_date + "</title>");
  html::WriteLine(out, html::kContentTypeLine);
  html::WriteLine(out, html::kGeneratorLine);
  html::WriteLine(out, html::kStyleOpenLine);
  html::WriteLine(out, "  TD { font-size: 13; color : #000000;white-space: nowrap;}");
  html::WriteLine(out, "  A { text-decoration:none;}");
  html::WriteLine(out, html::kStyleCloseLine);
  for (const std::string_view script_line : kScriptLines) html::WriteLine(out, script_line);
  html::WriteLine(out, html::kHeadCloseLine);
  html::WriteLine(out, html::kFontLine);
  html::WriteLine(out, html::kTableOpenLine);
  // The caption has two blanks before "on", the title one.
  const size_t columns = ShownColumns(event_detail_list);
  html::WriteLine(out,
                  html::CaptionBar(static_cast<int>(columns),
                                   "Defensive damage for " + mob + ", by Party  on " + event_date));
  if (columns > ColumnCount<Column>(LineRules::kDefault)) {
    std::string header(kDetailHeaderRow);
    header.insert(header.size() - std::string_view("</tr>").size(), kCritHeaders);
    html::WriteLine(out, header);
  } else {
    html::WriteLine(out, kDetailHeaderRow);
  }

  WriteCombatantRows(out, input);

  const DamageTable& table = input.log.DamageTable();
  WriteAbilityTable(out, table, columns, "Glyph AA's on " + mob + " " + list_date,
                    "<tr bgColor=#a9a9a9><td>Player</td><td>Glyph</td><td>Date</td></tr>",
                    input.detail.GlyphList, IsGlyph);
  WriteAbilityTable(out, table, columns, "Veteran AA's on " + mob + " " + list_date,
                    "<tr bgColor=#a9a9a9><td>Player</td><td>Vets</td><td>Date</td></tr>",
                    input.detail.VeteranList, IsVeteran);

  html::WriteLine(out, html::FooterLine(created));
  html::WriteLine(out, html::kClosingLine);
}

}  // namespace ombrel
