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
  // Two passes over the rows, the widths and then the lines, so that no more
  // than a line is held: a list of a long log has rows by the hundred thousand.
  const auto row_cells = [&](size_t line, std::vector<TerminalCell>& cells) {
    for (size_t c = 0; c < count; ++c) {
      cells[c] =
          ToTerminalCell(line == 0 ? std::string(columns[c].header) : list.Cell(line - 1, c));
    }
  };
  // A cell's width is its characters, one per byte of the log's code page,
  // as ToTerminalCell cuts them: the widths need no terminal text.
  const auto width_of = [](std::string_view cell) {
    return std::min(cell.size(), kTerminalCellCharacters);
  };
  std::vector<TerminalCell> cells(count);
  std::vector<size_t> widths(count);
  for (size_t c = 0; c < count; ++c) widths[c] = width_of(columns[c].header);
  for (size_t row = 0; row < list.Rows(); ++row) {
    for (size_t c = 0; c < count; ++c) {
      widths[c] = std::max(widths[c], width_of(list.Cell(row, c)));
    }
  }
  for (size_t line = 0; line <= list.Rows(); ++line) {
    row_cells(line, cells);
    WriteLine(out, widths, cells);
  }
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
