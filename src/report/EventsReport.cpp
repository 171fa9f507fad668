#include "report/HtmlEscape.h"
#include "report/PageFrame.h"
#include "report/Reports.h"
#include "shared/ListColumns.h"
#include "shared/StretchWriter.h"

namespace ombrel {
namespace {

constexpr int kColumns = static_cast<int>(At(EventsColumn::kCount));

constexpr std::string_view kEventsHeaderRow =
    "<tr bgColor=#a9a9a9><td>Damage By</td><td>Total</td><td>Dmg Dealt</td><td>Duration</td>"
    "<td>DPS</td><td>DPS Dealt</td><td>Start Time</td><td>End Time</td><td>Max Hit Taken</td>"
    "<td>Min Hit Taken</td><td>Hits Taken</td><td>Ave Hit Taken</td><td>Max Hit Dealt</td>"
    "<td>Min Hit Dealt</td><td>Hits Dealt</td><td>Ave Hit Dealt</td></tr>";

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

  // The cells are copied as the list shows them, empty where it has fewer
  // columns; nothing is recomputed. The rows of a long list are made in
  // stretches on every thread.
  WriteInStretches(out, events_list.Rows(), [&](std::string& text, size_t begin, size_t end) {
    RowTexts cells;
    for (size_t p = begin; p < end; ++p) {
      events_list.ReadRow(p, cells);
      text += html::RowOpener(p);
      for (const ListColumn& column : kEventsColumns) {
        text += "<td>";
        if (column.position < cells.Columns()) AppendHtmlEscaped(text, cells[column.position]);
        text += "</td>";
      }
      text += "</tr>\r\n";
    }
  });

  html::WriteLine(out, html::FooterLine(created));
  html::WriteLine(out, html::kClosingLine);
}

}  // namespace ombrel
