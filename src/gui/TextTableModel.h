#pragma once

#include <cstdint>
#include <functional>

#include <span>

#include <QAbstractTableModel>

#include "shared/ListColumns.h"
#include "shared/TextTable.h"

namespace ombrel::gui {

// One of the window's lists: a read-only view of a text table that the app
// layer owns. Cells stay Windows-1252 bytes in the table and become Unicode
// only when the view asks for them, so a list of 100,000 events shows without
// copying a single cell.
class TextTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // `table` and `columns` must outlive the model.
  TextTableModel(const TextTable& table, std::span<const ListColumn> columns,
                 QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // Brackets a change of the table's contents; views drop their rows and
  // selection before it and read the new rows after it.
  void BeginChange();
  void EndChange();
  // Brackets a change that keeps the rows' meaning (a followed log's list
  // growing or updated in place): views keep their selection and scroll
  // position. Rows gone afterwards leave no selection behind.
  void BeginLayoutChange();
  void EndLayoutChange();

  // Rows for which `bold` is true show in a bold font (the open fight while
  // a log is followed); none without it.
  void SetBoldRows(std::function<bool(size_t row)> bold) { bold_ = std::move(bold); }
  // The columns from `first` on show only when the table holds them (the
  // extended rules' own); before them a column the table lacks shows empty.
  void ShowLaterColumnsWhenHeld(size_t first) { shown_always_ = first; }

 private:
  const TextTable& table_;
  std::span<const ListColumn> columns_;
  std::function<bool(size_t row)> bold_;
  size_t shown_always_ = SIZE_MAX;
};

}  // namespace ombrel::gui
