#pragma once

#include <ostream>
#include <span>
#include <string_view>

#include "shared/ListColumns.h"
#include "shared/TextTable.h"

namespace ombrel {

// Writes a list as terminal text in UTF-8: a header line and one line per row,
// every column but the last padded with blanks to its widest text (counted in
// characters) and two blanks between columns. Cells go through
// ToTerminalCell: control characters show as "?", long cells are cut.
void WriteAlignedTable(std::ostream& out, std::span<const ListColumn> columns,
                       const TextTable& list);

}  // namespace ombrel
