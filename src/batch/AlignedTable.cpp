#include "batch/AlignedTable.h"

#include <algorithm>
#include <string>
#include <vector>

namespace ombrel {
namespace {

void WriteLine(std::ostream& out, const std::vector<size_t>& widths,
               const std::vector<std::string_view>& cells) {
  std::string line;
  for (size_t c = 0; c < cells.size(); ++c) {
    if (c != 0) line.append(2, ' ');
    line.append(cells[c]);
    if (c + 1 < cells.size()) line.append(widths[c] - cells[c].size(), ' ');
  }
  line.push_back('\n');
  out << line;
}

}  // namespace

void WriteAlignedTable(std::ostream& out, std::span<const ListColumn> columns,
                       const TextTable& list) {
  const size_t count = std::min(columns.size(), list.Columns());
  std::vector<size_t> widths(count);
  for (size_t c = 0; c < count; ++c) widths[c] = columns[c].header.size();
  for (size_t r = 0; r < list.Rows(); ++r) {
    for (size_t c = 0; c < count; ++c) widths[c] = std::max(widths[c], list.Cell(r, c).size());
  }
  std::vector<std::string_view> cells(count);
  for (size_t c = 0; c < count; ++c) cells[c] = columns[c].header;
  WriteLine(out, widths, cells);
  for (size_t r = 0; r < list.Rows(); ++r) {
    for (size_t c = 0; c < count; ++c) cells[c] = list.Cell(r, c);
    WriteLine(out, widths, cells);
  }
}

}  // namespace ombrel
