#include "report/HtmlEscape.h"
#include "report/PageFrame.h"
#include "report/Reports.h"
#include "shared/ListColumns.h"

namespace ombrel {
namespace {

constexpr int kColumns = static_cast<int>(At(EventsColumn::kCount));

constexpr std::string_view kEventsHeaderRow =
    "<tr bgColor=#a9a9a9><td>Damage By</td><td>Total</td><td>Dmg Dealt</td><td>Duration</td>"
    "<td>DPS</td><td>DPS Dealt</td><td>Start Time</td><td>End Time</td><td>Max Hit Taken</td>"
    "<td>Min Hit Taken</td><td>Hits Taken</td><td>Ave Hit Taken</td><td>Max Hit Dealt</td>"
    "<td>Min Hit Dealt</td><td>Hits Dealt</td><td>Ave Hit Dealt</td></tr>";

// A cell of the list, empty where the list has fewer columns.
std::string CellOf(const TextTable& list, size_t row, size_t column) {
  return column < list.Columns() ? list.Cell(row, column) : std::string();
}

}  // namespace

void WriteEventsReport(std::ostream& out, const TextTable& events_list, std::string_view created) {
  const std::string date = html::ReportDate(events_list);

  html::WriteLine(out, html::kDocTypeLine);
  html::WriteLine(out, "<head><title>Defensive damage on " + date + "</title>");
  html::WriteLine(out, html::kContentTypeLine);
  html::WriteLine(out, html::kGeneratorLine);
  html::WriteLine(out, html::kStyleOpenLine);
  html::WriteLine(out, "  TD { font-size: 13; color : #000000;}");
  html::WriteLine(out, html::kStyleCloseLine);
  html::WriteLine(out, html::kHeadCloseLine);
  html::WriteLine(out, html::kFontLine);
  html::WriteLine(out, html::kTableOpenLine);
  html::WriteLine(out, html::CaptionBar(kColumns, "Defensive damage on " + date));
  html::WriteLine(out, kEventsHeaderRow);

  // The cells are copied as the list shows them; nothing is recomputed.
  std::string line;
  const size_t rows = events_list.Rows();
  for (size_t p = 0; p < rows; ++p) {
    line.assign(html::RowOpener(p));
    for (const ListColumn& column : kEventsColumns) {
      line += "<td>";
      AppendHtmlEscaped(line, CellOf(events_list, p, column.position));
      line += "</td>";
    }
    line += "</tr>";
    html::WriteLine(out, line);
  }

  html::WriteLine(out, html::FooterLine(created));
  html::WriteLine(out, html::kClosingLine);
}

}  // namespace ombrel
