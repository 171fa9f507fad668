#include "app/SortEventDetail.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "shared/Cp1252.h"
#include "shared/DateTime.h"
#include "shared/Display.h"
#include "shared/ListColumns.h"

namespace ombrel {
namespace {

using Column = EventDetailColumn;

// The whole-number columns, read back and written again as plain numbers.
constexpr Column kWholeColumns[] = {Column::kMaxHitTaken, Column::kMinHitTaken, Column::kHitsTaken,
                                    Column::kMaxHitDealt, Column::kMinHitDealt, Column::kHitsDealt,
                                    Column::kDmgTaken,    Column::kMisses,      Column::kParries,
                                    Column::kDodges,      Column::kRipostes,    Column::kBlocks,
                                    Column::kSwingsTaken};
// The columns copied as they stand: the name, the percentages and the crits
// (the extended rules' columns, copied where the list has them).
constexpr Column kCopiedColumns[] = {Column::kDamageBy, Column::kSwingsDealt, Column::kAccuracy,
                                     Column::kEvasion,  Column::kDefense,     Column::kCrits,
                                     Column::kCritRate};

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
  double dps_taken = 0;
  std::array<int64_t, std::size(kWholeColumns)> wholes{};  // in kWholeColumns order
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
  row.units = Utf16Units(CellAt(list, r, Column::kDamageBy));
  // An empty "Dmg Dealt" is a combatant that dealt nothing.
  row.dealt = WholeOrZero(CellAt(list, r, Column::kDmgDealt));
  row.duration = WholeOrZero(CellAt(list, r, Column::kDuration));
  row.dps = DecimalOrZero(CellAt(list, r, Column::kDPSDealt));
  row.adps = DecimalOrZero(CellAt(list, r, Column::kADPSDealt));
  row.start = display::ReadDateTime(CellAt(list, r, Column::kStart)).value_or(DateTime{});
  row.end = display::ReadDateTime(CellAt(list, r, Column::kEnd)).value_or(DateTime{});
  row.dps_taken = DecimalOrZero(CellAt(list, r, Column::kDPSTaken));
  for (size_t i = 0; i < row.wholes.size(); ++i)
    row.wholes[i] = WholeOrZero(CellAt(list, r, kWholeColumns[i]));
  return row;
}

// The texts after a sort: the rates lose their leading zero (.50) and
// "DPS Taken" becomes a plain decimal.
std::vector<std::string> Render(const TextTable& list, const SortRow& row) {
  ListRow<Column> cells;
  for (const Column c : kCopiedColumns)
    if (At(c) < list.Columns()) cells[c] = CellAt(list, row.source_row, c);
  cells[Column::kDmgDealt] = display::Grouped(row.dealt);
  cells[Column::kDuration] = display::Plain(row.duration);
  cells[Column::kDPSDealt] = display::Fixed2NoLeadingZero(row.dps);
  cells[Column::kADPSDealt] = display::Fixed2NoLeadingZero(row.adps);
  cells[Column::kStart] = display::DateTimeText(row.start);
  cells[Column::kEnd] = display::DateTimeText(row.end);
  cells[Column::kDPSTaken] = display::PlainDecimal(row.dps_taken);
  for (size_t i = 0; i < row.wholes.size(); ++i)
    cells[kWholeColumns[i]] = display::Plain(row.wholes[i]);
  return std::move(cells).Take();
}

// True when `candidate` replaces `best` as the next row to place.
bool Replaces(const SortRow& best, const SortRow& candidate, Column key) {
  switch (key) {
    case Column::kDamageBy:
      return !UnitsSortBefore(best.units, candidate.units);
    case Column::kDmgDealt:
      return candidate.dealt > best.dealt;
    case Column::kDuration:
      return candidate.duration > best.duration;
    case Column::kDPSDealt:
      return candidate.dps > best.dps;
    case Column::kADPSDealt:
      return candidate.adps > best.adps;
    default:
      return false;
  }
}

// The list's rows in their sorted order, as indexes into `rows`. The total
// row stays first. Below it, each place takes the best unplaced row in list
// order; only a strictly better row displaces the current best, so ties keep
// their order.
std::vector<size_t> SortOrder(const std::vector<SortRow>& rows, Column key) {
  const size_t n = rows.size();
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
  return order;
}

// Whether a sort by `key` changes the list: a sort key, rows, and the columns
// of either rule set.
bool Sorts(const TextTable& list, Column key) {
  const size_t columns = list.Columns();
  return IsSortKey(key) && !list.Empty() &&
         (columns == ColumnCount<Column>(LineRules::kDefault) ||
          columns == ColumnCount<Column>(LineRules::kExtended));
}

// The text of one cell after a sort, made from the row's figures read back:
// Render's text of that cell. The copied columns are read from `first`, the
// list as first made, at the row's place there.
std::string SortedCell(const TextTable& first, const SortRow& row, Column column) {
  switch (column) {
    case Column::kDamageBy:
    case Column::kSwingsDealt:
    case Column::kAccuracy:
    case Column::kEvasion:
    case Column::kDefense:
    case Column::kCrits:
    case Column::kCritRate:
      return CellAt(first, row.source_row, column);
    case Column::kDmgDealt:
      return display::Grouped(row.dealt);
    case Column::kDuration:
      return display::Plain(row.duration);
    case Column::kDPSDealt:
      return display::Fixed2NoLeadingZero(row.dps);
    case Column::kADPSDealt:
      return display::Fixed2NoLeadingZero(row.adps);
    case Column::kStart:
      return display::DateTimeText(row.start);
    case Column::kEnd:
      return display::DateTimeText(row.end);
    case Column::kDPSTaken:
      return display::PlainDecimal(row.dps_taken);
    default:
      break;
  }
  for (size_t i = 0; i < row.wholes.size(); ++i)
    if (kWholeColumns[i] == column) return display::Plain(row.wholes[i]);
  return {};
}

}  // namespace

// A row of the sorted list: its figures as read back, its place in the list as
// first made.
struct ShownEventDetail::SortedRow : SortRow {};

bool NameSortsBefore(std::string_view a, std::string_view b) {
  return UnitsSortBefore(Utf16Units(a), Utf16Units(b));
}

bool IsSortKey(EventDetailColumn column) {
  return At(column) <= At(Column::kADPSDealt);
}

void SortEventDetail(TextTable& list, EventDetailColumn key) {
  const size_t columns = list.Columns();
  if (!Sorts(list, key)) return;
  const size_t n = list.Rows();
  std::vector<SortRow> rows;
  rows.reserve(n);
  for (size_t r = 0; r < n; ++r) rows.push_back(ReadRow(list, r));

  const std::vector<size_t> order = SortOrder(rows, key);
  TextTable sorted(columns);
  sorted.Reserve(n);
  for (size_t r : order) sorted.AddRow(Render(list, rows[r]));
  list = std::move(sorted);
}

ShownEventDetail::ShownEventDetail(TextTable first)
    : first_(std::make_shared<const TextTable>(std::move(first))), shown_(*first_) {}

void ShownEventDetail::Sort(EventDetailColumn key) {
  if (!Sorts(shown_, key)) return;
  // The figures are read back from the texts shown now, as SortEventDetail
  // reads them.
  const size_t n = shown_.Rows();
  std::vector<SortRow> rows;
  rows.reserve(n);
  for (size_t r = 0; r < n; ++r) rows.push_back(ReadRow(shown_, r));
  const std::vector<size_t> order = SortOrder(rows, key);

  auto sorted = std::make_shared<std::vector<SortedRow>>();
  sorted->reserve(n);
  for (size_t r : order) {
    SortedRow row{std::move(rows[r])};
    row.units = std::u16string();  // the name order is needed no more
    // A row's place in the list as first made: through the earlier sort's.
    if (sorted_) row.source_row = (*sorted_)[row.source_row].source_row;
    sorted->push_back(std::move(row));
  }
  sorted_ = sorted;
  shown_ = TextTable(shown_.Columns(), n,
                     [first = first_, sorted = std::move(sorted)](size_t row, size_t column) {
                       return SortedCell(*first, (*sorted)[row], static_cast<Column>(column));
                     });
}

}  // namespace ombrel
