#include "app/SortEventDetail.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "shared/Cp1252.h"
#include "shared/DateTime.h"
#include "shared/Display.h"

namespace ombrel {
namespace {

constexpr size_t kColumns = 25;

// The name's Windows-1252 bytes as UTF-16 units.
std::u16string Utf16Units(std::string_view name) {
  std::u16string units;
  units.reserve(name.size());
  for (char ch : name) units.push_back(Cp1252ToUnicode(static_cast<unsigned char>(ch)));
  return units;
}

// Byte k of the units laid out low byte first.
unsigned UnitByte(const std::u16string& units, size_t k) {
  const unsigned unit = units[k / 2];
  return k % 2 == 0 ? (unit & 0xFFu) : (unit >> 8);
}

bool UnitsSortBefore(const std::u16string& a, const std::u16string& b) {
  if (a.empty() || b.empty()) return false;
  // The last byte of b (the high byte of its last character) is never compared.
  const size_t compared = std::min(2 * a.size(), 2 * b.size() - 1);
  for (size_t k = 0; k < compared; ++k) {
    const unsigned x = UnitByte(a, k);
    const unsigned y = UnitByte(b, k);
    if (x != y) return x < y;
  }
  return a.size() >= b.size();
}

// One list row as read back from its texts; a cell that does not read as its
// column's type reads as 0.
struct SortRow {
  size_t source_row = 0;  // for the text columns, copied as they are
  std::u16string units;   // the name, for the name order
  int64_t dealt = 0;
  int64_t duration = 0;
  double dps = 0;
  double adps = 0;
  DateTime start;
  DateTime end;
  std::array<int64_t, 7> hits_and_taken{};  // "Max Hit Taken" to "Dmg Taken"
  double dps_taken = 0;
  std::array<int64_t, 6> avoidances_and_swings{};  // "Misses" to "Swings Taken"
};

int64_t WholeOrZero(const std::string& text) {
  return display::ReadWholeNumber(text).value_or(0);
}
double DecimalOrZero(const std::string& text) {
  return display::ReadDecimal(text).value_or(0.0);
}

SortRow ReadRow(const TextTable& list, size_t r) {
  SortRow row;
  row.source_row = r;
  row.units = Utf16Units(list.Cell(r, 0));
  // An empty "Dmg Dealt" is a combatant that dealt nothing.
  row.dealt = WholeOrZero(list.Cell(r, 1));
  row.duration = WholeOrZero(list.Cell(r, 2));
  row.dps = DecimalOrZero(list.Cell(r, 3));
  row.adps = DecimalOrZero(list.Cell(r, 4));
  row.start = display::ReadDateTime(list.Cell(r, 5)).value_or(DateTime{});
  row.end = display::ReadDateTime(list.Cell(r, 6)).value_or(DateTime{});
  for (size_t i = 0; i < row.hits_and_taken.size(); ++i)
    row.hits_and_taken[i] = WholeOrZero(list.Cell(r, 7 + i));
  row.dps_taken = DecimalOrZero(list.Cell(r, 14));
  for (size_t i = 0; i < row.avoidances_and_swings.size(); ++i)
    row.avoidances_and_swings[i] = WholeOrZero(list.Cell(r, 15 + i));
  return row;
}

// The texts after a sort: the rates lose their leading zero (.50) and
// "DPS Taken" becomes a plain decimal.
std::vector<std::string> Render(const TextTable& list, const SortRow& row) {
  std::vector<std::string> cells;
  cells.reserve(kColumns);
  cells.push_back(list.Cell(row.source_row, 0));
  cells.push_back(display::Grouped(row.dealt));
  cells.push_back(display::Plain(row.duration));
  cells.push_back(display::Fixed2NoLeadingZero(row.dps));
  cells.push_back(display::Fixed2NoLeadingZero(row.adps));
  cells.push_back(display::DateTimeText(row.start));
  cells.push_back(display::DateTimeText(row.end));
  for (int64_t v : row.hits_and_taken) cells.push_back(display::Plain(v));
  cells.push_back(display::PlainDecimal(row.dps_taken));
  for (int64_t v : row.avoidances_and_swings) cells.push_back(display::Plain(v));
  for (size_t c = 21; c < kColumns; ++c) cells.push_back(list.Cell(row.source_row, c));
  return cells;
}

// True when `candidate` replaces `best` as the next row to place.
bool Replaces(const SortRow& best, const SortRow& candidate, int key) {
  switch (key) {
    case 0:
      return !UnitsSortBefore(best.units, candidate.units);
    case 1:
      return candidate.dealt > best.dealt;
    case 2:
      return candidate.duration > best.duration;
    case 3:
      return candidate.dps > best.dps;
    case 4:
      return candidate.adps > best.adps;
    default:
      return false;
  }
}

}  // namespace

bool NameSortsBefore(std::string_view a, std::string_view b) {
  return UnitsSortBefore(Utf16Units(a), Utf16Units(b));
}

void SortEventDetail(TextTable& list, int key) {
  if (key < 0 || key > 4 || list.Columns() != kColumns || list.Empty()) return;
  const size_t n = list.Rows();
  std::vector<SortRow> rows;
  rows.reserve(n);
  for (size_t r = 0; r < n; ++r) rows.push_back(ReadRow(list, r));

  // The total row stays first. Below it, each place takes the best unplaced
  // row in list order; only a strictly better row displaces the current best,
  // so ties keep their order.
  std::vector<size_t> order{0};
  order.reserve(n);
  std::vector<bool> placed(n, false);
  for (size_t position = 1; position < n; ++position) {
    size_t best = 0;
    for (size_t r = 1; r < n; ++r) {
      if (placed[r]) continue;
      if (best == 0 || Replaces(rows[best], rows[r], key)) best = r;
    }
    placed[best] = true;
    order.push_back(best);
  }

  TextTable sorted(kColumns);
  sorted.Reserve(n);
  for (size_t r : order) sorted.AddRow(Render(list, rows[r]));
  list = std::move(sorted);
}

}  // namespace ombrel
