#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ombrel {

// A list as the user sees it: rows of cell texts, a fixed number of columns.
// The sort, the combatant detail and the reports read these texts back.
class TextTable {
 public:
  TextTable() = default;
  explicit TextTable(size_t columns) : columns_(columns) {}

  size_t Columns() const { return columns_; }
  size_t Rows() const { return columns_ == 0 ? 0 : cells_.size() / columns_; }
  bool Empty() const { return cells_.empty(); }

  // Appends a row; missing cells are empty, extra cells are dropped.
  void AddRow(std::vector<std::string> cells) {
    cells.resize(columns_);
    for (std::string& c : cells) cells_.push_back(std::move(c));
  }
  std::span<const std::string> Row(size_t row) const {
    return std::span<const std::string>(cells_).subspan(row * columns_, columns_);
  }
  const std::string& Cell(size_t row, size_t column) const {
    return cells_[row * columns_ + column];
  }
  // Replaces the cells of row `row`, as AddRow takes them.
  void SetRow(size_t row, std::vector<std::string> cells) {
    cells.resize(columns_);
    for (size_t c = 0; c < columns_; ++c) cells_[row * columns_ + c] = std::move(cells[c]);
  }
  // Drops the rows from `rows` on.
  void KeepRows(size_t rows) {
    if (rows < Rows()) cells_.resize(rows * columns_);
  }
  void Clear() { cells_.clear(); }
  void Reserve(size_t rows) { cells_.reserve(rows * columns_); }

  friend bool operator==(const TextTable&, const TextTable&) = default;

 private:
  size_t columns_ = 0;
  std::vector<std::string> cells_;
};

}  // namespace ombrel
