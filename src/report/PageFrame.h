#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

#include "shared/TextTable.h"

// The page frame that both HTML reports share: head lines, the table-opening
// line, caption bars, row colours, the footer and the closing line. The odd
// markup ("<trbody>", the FONT that is never closed, no html/body element, the
// footer spanning 25 columns) is kept as readers and stored pages know it.
namespace ombrel::html {

// The product's home page, linked from every footer.
inline constexpr std::string_view kHomePageAddress = "https://ombrel-raid.example/";

inline constexpr std::string_view kDocTypeLine =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";
inline constexpr std::string_view kContentTypeLine =
    "<META http-equiv=Content-Type content=\"text/html; charset=windows-1252\">";
inline constexpr std::string_view kGeneratorLine =
    "<META content=\"MSHTML 6.00.2900.3059\" name=GENERATOR>";
inline constexpr std::string_view kStyleOpenLine = "<STYLE TYPE=\"text/css\">";
inline constexpr std::string_view kStyleCloseLine = "</STYLE>";
inline constexpr std::string_view kHeadCloseLine = "</head>";
inline constexpr std::string_view kFontLine = "<FONT face=\"Arial\">";
inline constexpr std::string_view kTableOpenLine =
    "<TABLE borderColor=#0000ff cellSpacing=0 borderColorDark=#ffffff cellPadding=3 rules=all "
    "width=\"100%\" borderColorLight=#000000 border=1>";
inline constexpr std::string_view kClosingLine = "</trbody></Table>";

// "<tr bgColor=...>" for table row position p: the first row (p = 0) and
// every other one after it get the blue, the rows between them the peach.
std::string_view RowOpener(size_t p);

// A caption bar spanning `columns` columns; `title` is already escaped.
std::string CaptionBar(int columns, std::string_view title);

// The footer line naming the product and the creation stamp.
std::string FooterLine(std::string_view created);

// A list's date-time text written "MM/DD/YYYY". Text that does not read as a
// date-time counts as the zero date, as an empty events list's row has it.
std::string ListDateText(std::string_view cell);

// The report date: the "End" text (column 8) of the events list's first row.
std::string ReportDate(const TextTable& events_list);

// Writes one line and its CR LF.
inline void WriteLine(std::ostream& out, std::string_view line) {
  out.write(line.data(), static_cast<std::streamsize>(line.size()));
  out.write("\r\n", 2);
}

}  // namespace ombrel::html
