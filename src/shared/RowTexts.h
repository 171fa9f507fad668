#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "shared/DisplayInto.h"

namespace ombrel {

// The texts of one row of a list, read at once (TextTable::ReadRow) into room
// that the reader keeps from row to row, so that reading many rows allocates
// nothing. A text stays valid until the next read into the same RowTexts.
class RowTexts {
 public:
  size_t Columns() const { return cells_.size(); }
  std::string_view operator[](size_t column) const { return cells_[column]; }

  // For the lists: `columns` empty texts.
  void Reset(size_t columns) {
    if (cells_.size() != columns) {
      cells_.assign(columns, {});
      room_.assign(columns * display::kTextIntoRoom, '\0');
      kept_.assign(columns, {});
    }
  }
  // A text held elsewhere, alive while the list is.
  void View(size_t column, std::string_view text) { cells_[column] = text; }
  // display::kTextIntoRoom bytes to make the column's text in; Made(column, end) takes it.
  char* Room(size_t column) { return room_.data() + column * display::kTextIntoRoom; }
  void Made(size_t column, const char* end) {
    const char* begin = Room(column);
    cells_[column] = std::string_view(begin, static_cast<size_t>(end - begin));
  }
  // A text made elsewhere, kept until the next read.
  void Keep(size_t column, std::string text) {
    kept_[column] = std::move(text);
    cells_[column] = kept_[column];
  }

  // The calendar day the renderer last wrote a date of, kept from row to row.
  display::DateTexts dates;

 private:
  std::vector<std::string_view> cells_;
  std::vector<char> room_;
  std::vector<std::string> kept_;
};

}  // namespace ombrel
