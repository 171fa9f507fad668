#include "batch/AlignedTable.h"

#include <algorithm>
#include <string>
#include <vector>

#include "batch/TerminalText.h"

namespace ombrel {
namespace {

void WriteLine(std::ostream& out, const std::vector<size_t>& widths,
               const std::vector<TerminalCell>& cells) {
  std::string line;
  for (size_t c = 0; c < cells.size(); ++c) {
    if (c != 0) line.append(2, ' ');
    line.append(cells[c].text);
    if (c + 1 < cells.size()) line.append(widths[c] - cells[c].width, ' ');
  }
  line.push_back('\n');
  out << line;
}

}  // namespace

void WriteAlignedTable(std::ostream& out, std::span<const ListColumn> columns,
                       const TextTable& list) {
  const size_t count = std::min(columns.size(), list.Columns());
  std::vector<std::vector<TerminalCell>> lines(list.Rows() + 1, std::vector<TerminalCell>(count));
  for (size_t c = 0; c < count; ++c) lines[0][c] = ToTerminalCell(columns[c].header);
  for (size_t r = 0; r < list.Rows(); ++r) {
    for (size_t c = 0; c < count; ++c) lines[r + 1][c] = ToTerminalCell(list.Cell(r, c));
  }
  std::vector<size_t> widths(count);
  for (const auto& cells : lines) {
    for (size_t c = 0; c < count; ++c) widths[c] = std::max(widths[c], cells[c].width);
  }
  for (const auto& cells : lines) WriteLine(out, widths, cells);
}

void WriteTabbedLine(std::ostream& out, std::span<const std::string> cells) {
  std::string line;
  for (size_t c = 0; c < cells.size(); ++c) {
    if (c != 0) line.push_back('\t');
    line.append(ToTerminalCell(cells[c]).text);
  }
  line.push_back('\n');
  out << line;
}

}  // namespace ombrel
