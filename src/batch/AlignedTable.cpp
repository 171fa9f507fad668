#include "batch/AlignedTable.h"

#include <algorithm>
#include <string>
#include <vector>

#include "batch/TerminalText.h"
#include "shared/StretchWriter.h"
#include "shared/WorkerThreads.h"

namespace ombrel {
namespace {

// Rows a thread takes at a time, in either pass.
constexpr size_t kStretchRows = size_t{1} << 10;

// Appends a line of `count` cells, each but the last padded to its column's width.
template <typename CellOf>
void AppendLine(std::string& line, const std::vector<size_t>& widths, size_t count,
                const CellOf& cell_of) {
  for (size_t c = 0; c < count; ++c) {
    if (c != 0) line.append(2, ' ');
    const size_t width = AppendTerminalCell(line, cell_of(c));
    if (c + 1 < count) line.append(widths[c] - width, ' ');
  }
  line.push_back('\n');
}

// The widest cell of each of the first `count` columns of `list`, at least
// `widths`, counted on every thread in stretches of rows.
void WidenToRows(std::vector<size_t>& widths, size_t count, const TextTable& list) {
  // A cell's width is its characters, one per byte of the log's code page,
  // as ToTerminalCell cuts them: the widths need no terminal text.
  const size_t stretches = (list.Rows() + kStretchRows - 1) / kStretchRows;
  if (stretches == 0) return;
  std::vector<std::vector<size_t>> found(stretches, widths);
  WorkerThreads pool(static_cast<unsigned>(std::min<size_t>(MachineThreads(), stretches)) - 1);
  pool.Run(stretches, [&](size_t k) {
    RowTexts cells;
    const size_t end = std::min(list.Rows(), (k + 1) * kStretchRows);
    for (size_t row = k * kStretchRows; row < end; ++row) {
      list.ReadRow(row, cells);
      for (size_t c = 0; c < count; ++c)
        found[k][c] = std::max(found[k][c], std::min(cells[c].size(), kTerminalCellCharacters));
    }
  });
  for (const std::vector<size_t>& stretch : found)
    for (size_t c = 0; c < count; ++c) widths[c] = std::max(widths[c], stretch[c]);
}

}  // namespace

std::vector<size_t> AlignedWidths(std::span<const ListColumn> columns, const TextTable& list) {
  const size_t count = std::min(columns.size(), list.Columns());
  std::vector<size_t> widths(count);
  for (size_t c = 0; c < count; ++c)
    widths[c] = std::min(columns[c].header.size(), kTerminalCellCharacters);
  WidenToRows(widths, count, list);
  return widths;
}

void WriteAlignedTable(std::ostream& out, std::span<const ListColumn> columns,
                       const TextTable& list, const std::vector<size_t>& widths) {
  // Two passes over the rows, the widths and then the lines, so that no more
  // than a few stretches of lines are held: a list of a long log has rows by
  // the hundred thousand.
  const size_t count = widths.size();
  std::string header;
  AppendLine(header, widths, count, [&](size_t c) { return columns[c].header; });
  out.write(header.data(), static_cast<std::streamsize>(header.size()));
  WriteInStretches(
      out, list.Rows(),
      [&](std::string& text, size_t begin, size_t end) {
        RowTexts cells;
        for (size_t row = begin; row < end; ++row) {
          list.ReadRow(row, cells);
          AppendLine(text, widths, count, [&](size_t c) { return cells[c]; });
        }
      },
      StretchSplit{0, kStretchRows});
}

void WriteAlignedTable(std::ostream& out, std::span<const ListColumn> columns,
                       const TextTable& list) {
  WriteAlignedTable(out, columns, list, AlignedWidths(columns, list));
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
