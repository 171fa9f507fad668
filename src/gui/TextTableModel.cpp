#include "gui/TextTableModel.h"

#include <QFont>

#include <algorithm>
#include <climits>

#include "gui/Cp1252.h"

namespace ombrel::gui {

namespace {

Qt::Alignment AlignmentOf(Align align) {
  return (align == Align::kRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

}  // namespace

TextTableModel::TextTableModel(const TextTable& table, std::span<const ListColumn> columns,
                               QObject* parent)
    : QAbstractTableModel(parent), table_(table), columns_(columns) {}

int TextTableModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(std::min<size_t>(table_.Rows(), INT_MAX));
}

int TextTableModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  const size_t described = columns_.size();
  const size_t held = std::max(table_.Columns(), std::min(shown_always_, described));
  return static_cast<int>(std::min(held, described));
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
    return {};
  }
  const auto column = static_cast<size_t>(index.column());
  switch (role) {
    case Qt::DisplayRole:
      // A table built with fewer columns than the list shows empty cells.
      if (column >= table_.Columns()) return QString();
      return FromCp1252(table_.Cell(static_cast<size_t>(index.row()), column));
    case Qt::TextAlignmentRole:
      return static_cast<int>(AlignmentOf(columns_[column].align));
    case Qt::FontRole: {
      if (!bold_ || !bold_(static_cast<size_t>(index.row()))) return {};
      QFont font;
      font.setBold(true);
      return font;
    }
    default:
      return {};
  }
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 ||
      static_cast<size_t>(section) >= columns_.size()) {
    return {};
  }
  const ListColumn& column = columns_[static_cast<size_t>(section)];
  switch (role) {
    case Qt::DisplayRole:
      return FromCp1252(column.header);
    case Qt::TextAlignmentRole:
      return static_cast<int>(AlignmentOf(column.align));
    default:
      return {};
  }
}

void TextTableModel::BeginChange() {
  beginResetModel();
}
void TextTableModel::EndChange() {
  endResetModel();
}

void TextTableModel::BeginLayoutChange() {
  emit layoutAboutToBeChanged();
}

void TextTableModel::EndLayoutChange() {
  const int rows = rowCount();
  for (const QModelIndex& index : persistentIndexList()) {
    if (index.row() >= rows) changePersistentIndex(index, QModelIndex());
  }
  emit layoutChanged();
}

}  // namespace ombrel::gui
