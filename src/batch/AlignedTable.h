#pragma once

#include <ostream>
#include <span>
#include <string_view>

#include "shared/ListColumns.h"
#include "shared/TextTable.h"

namespace ombrel {

// Writes a list as plain text: a header line and one line per row, every
// column but the last padded with blanks to its widest text (counted in bytes,
// the texts written as they are) and two blanks between columns.
void WriteAlignedTable(std::ostream& out, std::span<const ListColumn> columns,
                       const TextTable& list);

}  // namespace ombrel
