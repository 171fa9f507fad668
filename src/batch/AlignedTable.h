#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shared/ListColumns.h"
#include "shared/TextTable.h"

namespace ombrel {

// Writes a list as terminal text in UTF-8: a header line and one line per row,
// every column but the last padded with blanks to its widest text (counted in
// characters) and two blanks between columns. Cells go through
// ToTerminalCell: control characters show as "?", long cells are cut.
void WriteAlignedTable(std::ostream& out, std::span<const ListColumn> columns,
                       const TextTable& list);
// The same in two steps: the columns' widths (their widest texts, counted on
// every thread), then the lines, which a caller may write after other work.
std::vector<size_t> AlignedWidths(std::span<const ListColumn> columns, const TextTable& list);
void WriteAlignedTable(std::ostream& out, std::span<const ListColumn> columns,
                       const TextTable& list, const std::vector<size_t>& widths);

// Writes one line of cells as terminal text, TAB between them: the rows
// printed one at a time while a log is followed, when the widths of the
// rows to come are not known.
void WriteTabbedLine(std::ostream& out, std::span<const std::string> cells);

}  // namespace ombrel
