#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shared/RowTexts.h"

namespace ombrel {

// A list as the user sees it: rows of cell texts, a fixed number of columns.
// The sort, the combatant detail and the reports read these texts back.
//
// A list of many rows whose numbers are held elsewhere (the events list, one
// row per fight) keeps no texts: it is made with a renderer, and a cell's
// text is made each time it is read. A cell is read by value for that reason.
// Such a list may also render a whole row at once into the reader's room
// (ReadRow), which the files and printed tables of many rows read through.
class TextTable {
 public:
  // The text of cell (row, column) of a rendered list.
  using CellRenderer = std::function<std::string(size_t row, size_t column)>;
  // The texts of row `row` into `texts` (Reset to the list's columns), the
  // same as the cell renderer's.
  using RowRenderer = std::function<void(size_t row, RowTexts& texts)>;

  TextTable() = default;
  explicit TextTable(size_t columns) : columns_(columns) {}
  // `rows` rows whose cells `render` makes when they are read; `render` keeps
  // what it reads alive.
  TextTable(size_t columns, size_t rows, CellRenderer render, RowRenderer render_row = nullptr)
      : columns_(columns),
        rendered_rows_(rows),
        render_(std::move(render)),
        render_row_(std::move(render_row)) {}

  size_t Columns() const { return columns_; }
  size_t Rows() const {
    if (render_) return rendered_rows_;
    return columns_ == 0 ? 0 : cells_.size() / columns_;
  }
  bool Empty() const { return Rows() == 0; }

  std::string Cell(size_t row, size_t column) const {
    return render_ ? render_(row, column) : cells_[row * columns_ + column];
  }
  std::vector<std::string> Row(size_t row) const {
    std::vector<std::string> cells;
    cells.reserve(columns_);
    for (size_t c = 0; c < columns_; ++c) cells.push_back(Cell(row, c));
    return cells;
  }

  // The texts of row `row`, valid until the next read into `texts` or a
  // change of the list. Reading different rows at once on several threads is
  // safe, each into its own RowTexts.
  void ReadRow(size_t row, RowTexts& texts) const {
    texts.Reset(columns_);
    if (render_row_) {
      render_row_(row, texts);
    } else if (render_) {
      for (size_t c = 0; c < columns_; ++c) texts.Keep(c, render_(row, c));
    } else {
      for (size_t c = 0; c < columns_; ++c) texts.View(c, cells_[row * columns_ + c]);
    }
  }

  // Appends a row; missing cells are empty, extra cells are dropped.
  void AddRow(std::vector<std::string> cells) {
    KeepTexts();
    cells.resize(columns_);
    for (std::string& c : cells) cells_.push_back(std::move(c));
  }
  // Replaces the cells of row `row`, as AddRow takes them.
  void SetRow(size_t row, std::vector<std::string> cells) {
    KeepTexts();
    cells.resize(columns_);
    for (size_t c = 0; c < columns_; ++c) cells_[row * columns_ + c] = std::move(cells[c]);
  }
  // Drops the rows from `rows` on.
  void KeepRows(size_t rows) {
    KeepTexts();
    if (rows < Rows()) cells_.resize(rows * columns_);
  }
  void Clear() {
    cells_.clear();
    render_ = nullptr;
    render_row_ = nullptr;
    rendered_rows_ = 0;
  }
  void Reserve(size_t rows) { cells_.reserve(rows * columns_); }

  friend bool operator==(const TextTable& a, const TextTable& b) {
    if (a.columns_ != b.columns_ || a.Rows() != b.Rows()) return false;
    for (size_t r = 0; r < a.Rows(); ++r)
      for (size_t c = 0; c < a.columns_; ++c)
        if (a.Cell(r, c) != b.Cell(r, c)) return false;
    return true;
  }

 private:
  // A rendered list about to change holds its texts from then on.
  void KeepTexts() {
    if (!render_) return;
    std::vector<std::string> cells;
    cells.reserve(rendered_rows_ * columns_);
    for (size_t r = 0; r < rendered_rows_; ++r)
      for (size_t c = 0; c < columns_; ++c) cells.push_back(render_(r, c));
    cells_ = std::move(cells);
    render_ = nullptr;
    render_row_ = nullptr;
    rendered_rows_ = 0;
  }

  size_t columns_ = 0;
  std::vector<std::string> cells_;
  size_t rendered_rows_ = 0;
  CellRenderer render_;
  RowRenderer render_row_;
};

}  // namespace ombrel
