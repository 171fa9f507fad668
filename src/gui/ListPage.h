#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include <QGroupBox>
#include <QString>

#include "app/App.h"
#include "shared/ListColumns.h"

class QAbstractItemModel;
class QItemSelection;
class QModelIndex;
class QTreeView;

namespace ombrel::gui {

class TextTableModel;
class WindowMemory;

// What a list page shows and the object names its widgets carry (the
// window's tested contract).
struct ListPageLayout {
  const char* page_name;      // "Frame1(1)"
  const char* list_name;      // "ListView1"
  const char* copy_name;      // "ListView1Copy"
  const char* copy_all_name;  // "ListView1CopyAll"
  const char* columns_key;    // where the column widths are remembered
  std::span<const ListColumn> columns;
  const TextTable& (App::*table)() const;
  // The app's chosen row; none for a list whose first row is chosen.
  size_t (App::*selected)() const;
  // A double-click or Return on a row opens the next page.
  bool opens_next_page;
  // The app's selected rows when several can be chosen at once (Ctrl- and
  // Shift-click: the fights seen as one); none for a list whose other
  // selected rows are for copying.
  const std::vector<size_t>& (App::*selected_rows)() const = nullptr;
  // The columns shown whatever rules read the log; those after them (the
  // extended rules' own) show only when the app's list holds them.
  size_t shown_always = SIZE_MAX;
};

inline constexpr ListPageLayout kEventsPage{
    "Frame1(1)", "ListView1",         "ListView1Copy",  "ListView1CopyAll",
    "columns1",  kEventsColumns,      &App::EventsList, &App::SelectedEvent,
    true,        &App::SelectedEvents};
inline constexpr ListPageLayout kEventDetailPage{
    "Frame1(2)",
    "ListView2",
    "ListView2Copy",
    "ListView2CopyAll",
    "columns2",
    kEventDetailColumns,
    &App::EventDetailList,
    &App::SelectedCombatant,
    true,
    nullptr,
    ColumnCount<EventDetailColumn>(LineRules::kDefault)};
inline constexpr ListPageLayout kCombatantDetailPage{
    "Frame1(3)",
    "ListView3",
    "ListView3Copy",
    "ListView3CopyAll",
    "columns3",
    kCombatantDetailColumns,
    &App::CombatantDetailList,
    nullptr,
    false,
    nullptr,
    ColumnCount<CombatantDetailColumn>(LineRules::kDefault)};

// A page that shows one of the app's lists: rows chosen by the current row
// (or several at once, on a list that takes them), selected rows copied
// (Ctrl+C, Ctrl+A, Copy All), its column widths remembered.
class ListPage : public QGroupBox {
  Q_OBJECT

 public:
  ListPage(const ListPageLayout& description, App& app, QWidget* parent = nullptr);
  ~ListPage() override = default;

  QTreeView* View() const { return view_; }
  TextTableModel* Model() const { return model_; }

  // Selects the app's chosen row (the last row when fewer rows are left)
  // and, on a list that takes several, the app's other selected rows, without
  // reporting them as the user's choice; rows the list does not show stay
  // unselected in it.
  void SelectFromApp();
  // The column widths: remembered ones when there are, else those of the layout.
  void RestoreColumns(const WindowMemory& memory);
  void SaveColumns(WindowMemory& memory) const;
  // Brackets a refresh that keeps the rows' meaning (a followed log);
  // RestoreScroll then puts the list back where it was scrolled before it.
  void BeginRefresh();
  void EndRefresh();
  void RestoreScroll();
  // Widens the columns that are too narrow for a cell of the `rows`, in
  // order (the bold rows of the open fights).
  void FitRows(const std::vector<size_t>& rows);

 signals:
  // The user moved the current row.
  void CurrentRowChanged(int row);
  // The user chose several rows at once (on a list that takes them), or went
  // back to one: every selected row, ascending.
  void RowsChosen(const std::vector<size_t>& rows);
  // A double-click or Return on a row, on a page that opens the next.
  void RowOpened();
  // What a command did, for the status bar.
  void Said(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

  // Shows the list through `shown`, a model over Model() that may hide,
  // group or add rows; the hooks below map its indexes to the table's rows.
  void ShowThrough(QAbstractItemModel* shown);
  // The table rows of what the view shows at `index` (its own row by default).
  virtual void AddRows(const QModelIndex& index, std::vector<size_t>& rows) const;
  // Where the view shows table row `row` (column 0); invalid when it does not.
  virtual QModelIndex IndexOfRow(size_t row) const;
  // Adds to `selection` the view's indexes of table rows `rows` (ascending)
  // and returns the current index, that of `current`.
  virtual QModelIndex Selection(size_t current, const std::vector<size_t>& rows,
                                QItemSelection& selection) const;
  // The table rows the view shows, ascending (Copy All).
  virtual std::vector<size_t> ShownRows() const;
  // Runs `change` to what the view shows, then selects the app's rows again:
  // the view's selection changing meanwhile is no choice of the user's.
  void Reshow(const std::function<void()>& change);

  App& app_;

 private:
  void WatchSelection();
  void CopyRows(bool all);
  // Gives the columns shown since the last call the widths of the layout.
  void SizeNewColumns();

  const ListPageLayout& layout_;
  QTreeView* view_ = nullptr;
  TextTableModel* model_ = nullptr;
  bool syncing_ = false;  // selections set by the program are not the user's
  int scrolled_ = 0;
  int sized_columns_ = 0;  // the columns given their widths, from the first
};

// Runs `change`, which rebuilds the app's lists, between the models' change
// brackets of `pages`, then selects the app's rows in them again.
void ChangeLists(std::span<ListPage* const> pages, const std::function<void()>& change);

}  // namespace ombrel::gui
