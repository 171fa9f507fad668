#include "gui/ListPage.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "gui/TextTableModel.h"
#include "gui/Twips.h"
#include "gui/WindowMemory.h"

namespace ombrel::gui {

ListPage::ListPage(const ListPageLayout& description, App& app, QWidget* parent)
    : QGroupBox(parent), app_(app), layout_(description) {
  setObjectName(QString::fromLatin1(description.page_name));
  auto* box = new QVBoxLayout(this);
  view_ = new QTreeView(this);
  box->addWidget(view_);
  view_->setObjectName(QString::fromLatin1(description.list_name));
  view_->setRootIsDecorated(false);
  view_->setItemsExpandable(false);
  view_->setUniformRowHeights(true);
  // Several rows may be selected (Ctrl- and Shift-click): on the events list
  // they are the fights the detail pages show as one, on the others the rows
  // copied; the current row is the one the next page uses.
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setAllColumnsShowFocus(true);
  // Only the app layer orders rows (the header clicks of the event-detail list).
  view_->setSortingEnabled(false);
  QHeaderView* header = view_->header();
  header->setSectionsMovable(false);
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(false);
  header->setHighlightSections(false);
  header->setStretchLastSection(false);
  header->setMinimumSectionSize(8);
  view_->installEventFilter(this);

  auto* copy = new QAction(QStringLiteral("&Copy"), view_);
  copy->setObjectName(QString::fromLatin1(description.copy_name));
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  connect(copy, &QAction::triggered, this, [this] { CopyRows(false); });
  auto* copy_all = new QAction(QStringLiteral("Copy &All"), view_);
  copy_all->setObjectName(QString::fromLatin1(description.copy_all_name));
  connect(copy_all, &QAction::triggered, this, [this] { CopyRows(true); });
  view_->addActions({copy, copy_all});
  view_->setContextMenuPolicy(Qt::ActionsContextMenu);

  model_ = new TextTableModel((app_.*description.table)(), description.columns, this);
  model_->ShowLaterColumnsWhenHeld(description.shown_always);
  view_->setModel(model_);
  SizeNewColumns();
  // The extended rules' columns come and go with the rules of the log shown.
  connect(model_, &QAbstractItemModel::modelReset, this, &ListPage::SizeNewColumns);
  WatchSelection();
  if (description.opens_next_page)
    connect(view_, &QTreeView::doubleClicked, this, &ListPage::RowOpened);
}

void ListPage::WatchSelection() {
  // The current row (the one last clicked or moved to) is the choice of a
  // list that takes one row.
  connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            std::vector<size_t> rows;
            if (!syncing_ && current.isValid()) AddRows(current, rows);
            if (rows.size() == 1) emit CurrentRowChanged(static_cast<int>(rows.front()));
          });
  // On a list that takes several rows, the selected rows are the choice,
  // however the current row and the selection change after each other.
  if (layout_.selected_rows != nullptr) {
    auto chosen = [this] {
      if (syncing_) return;
      std::vector<size_t> rows;
      for (const QModelIndex& index : view_->selectionModel()->selectedRows()) AddRows(index, rows);
      std::sort(rows.begin(), rows.end());
      rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
      const QModelIndex current = view_->currentIndex();
      if (rows.size() <= 1 && current.isValid()) {
        rows.clear();
        AddRows(current, rows);
      }
      if (!rows.empty()) emit RowsChosen(rows);
    };
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, chosen);
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, chosen);
  }
}

void ListPage::ShowThrough(QAbstractItemModel* shown) {
  QItemSelectionModel* before = view_->selectionModel();
  view_->setModel(shown);
  delete before;
  WatchSelection();
}

void ListPage::AddRows(const QModelIndex& index, std::vector<size_t>& rows) const {
  rows.push_back(static_cast<size_t>(index.row()));
}

QModelIndex ListPage::IndexOfRow(size_t row) const {
  return model_->index(static_cast<int>(row), 0);
}

QModelIndex ListPage::Selection(size_t current, const std::vector<size_t>& rows,
                                QItemSelection& selection) const {
  for (const size_t row : rows) {
    const QModelIndex index = IndexOfRow(row);
    if (index.isValid()) selection.select(index, index);
  }
  return IndexOfRow(current);
}

std::vector<size_t> ListPage::ShownRows() const {
  std::vector<size_t> rows(static_cast<size_t>(model_->rowCount()));
  for (size_t r = 0; r < rows.size(); ++r) rows[r] = r;
  return rows;
}

void ListPage::Reshow(const std::function<void()>& change) {
  syncing_ = true;
  change();
  syncing_ = false;
  SelectFromApp();
}

void ListPage::SizeNewColumns() {
  const int columns = model_->columnCount();
  for (int c = sized_columns_; c < columns; ++c) {
    view_->header()->resizeSection(
        c, TwipsToPixels(layout_.columns[static_cast<size_t>(c)].width_twips, view_->font()));
  }
  sized_columns_ = columns;
}

void ListPage::SelectFromApp() {
  syncing_ = true;
  QItemSelectionModel* selection = view_->selectionModel();
  const auto rows = static_cast<size_t>(model_->rowCount());
  if (rows == 0) {
    selection->clear();
  } else {
    const size_t wanted = layout_.selected != nullptr ? (app_.*layout_.selected)() : 0;
    const size_t current = std::min(wanted, rows - 1);
    std::vector<size_t> chosen{current};
    if (layout_.selected_rows != nullptr) {
      for (const size_t r : (app_.*layout_.selected_rows)()) {
        if (r < rows) chosen.push_back(r);
      }
      std::sort(chosen.begin(), chosen.end());
      chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    }
    QItemSelection shown;
    const QModelIndex at = Selection(current, chosen, shown);
    selection->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
    selection->select(shown, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  syncing_ = false;
}

void ListPage::RestoreColumns(const WindowMemory& memory) {
  const QByteArray state = memory.Bytes(layout_.columns_key);
  if (!state.isEmpty()) view_->header()->restoreState(state);
  view_->header()->setSortIndicatorShown(false);
}

void ListPage::SaveColumns(WindowMemory& memory) const {
  memory.SetBytes(layout_.columns_key, view_->header()->saveState());
}

void ListPage::BeginRefresh() {
  scrolled_ = view_->verticalScrollBar()->value();
  model_->BeginLayoutChange();
}

void ListPage::EndRefresh() {
  model_->EndLayoutChange();
}

void ListPage::RestoreScroll() {
  view_->verticalScrollBar()->setValue(scrolled_);
}

void ListPage::FitRows(const std::vector<size_t>& rows) {
  QHeaderView* header = view_->header();
  const int columns = view_->model()->columnCount();
  for (const size_t row : rows) {
    if (row >= static_cast<size_t>(model_->rowCount())) break;
    // The row where the view shows it, and the row it unfolds from.
    for (QModelIndex at = IndexOfRow(row); at.isValid(); at = at.parent()) {
      for (int c = 0; c < columns; ++c) {
        const int wanted = view_->sizeHintForIndex(at.siblingAtColumn(c)).width();
        if (wanted > header->sectionSize(c)) header->resizeSection(c, wanted);
      }
    }
  }
}

bool ListPage::eventFilter(QObject* watched, QEvent* event) {
  // Return on a row does what a double-click does.
  if (watched == view_ && layout_.opens_next_page && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && view_->currentIndex().isValid()) {
      emit RowOpened();
      return true;
    }
  }
  return QGroupBox::eventFilter(watched, event);
}

void ListPage::CopyRows(bool all) {
  // The header, then every row (or only the selected ones), cells separated by tabs.
  std::vector<size_t> rows;
  if (all) {
    rows = ShownRows();
  } else {
    for (const QModelIndex& index : view_->selectionModel()->selectedRows()) AddRows(index, rows);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  }
  if (rows.empty()) return;
  QStringList cells;
  for (int c = 0; c < model_->columnCount(); ++c)
    cells << model_->headerData(c, Qt::Horizontal).toString();
  QString text = cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
  for (const size_t r : rows) {
    cells.clear();
    for (int c = 0; c < model_->columnCount(); ++c)
      cells << model_->index(static_cast<int>(r), c).data().toString();
    text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
  }
  QApplication::clipboard()->setText(text);
  emit Said(rows.size() == 1
                ? QStringLiteral("Copied 1 row.")
                : QStringLiteral("Copied %1 rows.").arg(static_cast<qsizetype>(rows.size())));
}

void ChangeLists(std::span<ListPage* const> pages, const std::function<void()>& change) {
  for (ListPage* page : pages) page->Model()->BeginChange();
  change();
  for (ListPage* page : pages) page->Model()->EndChange();
  for (ListPage* page : pages) page->SelectFromApp();
}

}  // namespace ombrel::gui
