#include "report/PageFrame.h"

#include "report/HtmlEscape.h"
#include "shared/Display.h"
#include "shared/ListColumns.h"

namespace ombrel::html {

std::string_view RowOpener(size_t p) {
  return p % 2 == 0 ? "<tr bgColor=#b0c4de>" : "<tr bgColor=#ffefd5>";
}

std::string CaptionBar(int columns, std::string_view title) {
  std::string line = "<trbody><tr><td align=middle bgColor=#4682b4 colSpan=";
  line += std::to_string(columns);
  line += "><FONT color=#fffaf0 size=3>";
  line += title;
  line += "</font></td></tr>";
  return line;
}

std::string FooterLine(std::string_view created) {
  // No blank between the address's closing quote and "target=": kept as is.
  std::string line =
      "<tr><TD align=left bgColor=#4682b4 colSpan=25><FONT color=#fffaf0 size=1><a href=\"";
  line += kHomePageAddress;
  line += "\"target=\"_blank\">Ombrel Raid</a> report, created on ";
  AppendHtmlEscaped(line, created);
  line += "</font></td></tr>";
  return line;
}

std::string ListDateText(std::string_view cell) {
  return display::DateText(display::ReadDateTime(cell).value_or(DateTime{}));
}

std::string ReportDate(const TextTable& events_list) {
  constexpr size_t kEndColumn = At(EventsColumn::kEnd);
  if (events_list.Rows() == 0 || events_list.Columns() <= kEndColumn) return ListDateText({});
  return ListDateText(events_list.Cell(0, kEndColumn));
}

}  // namespace ombrel::html
