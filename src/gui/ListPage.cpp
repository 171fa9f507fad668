#include "gui/ListPage.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
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
  // Several rows may be selected for copying; the current row is the one the
  // detail pages use.
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
  view_->setModel(model_);
  for (size_t c = 0; c < description.columns.size(); ++c) {
    header->resizeSection(static_cast<int>(c),
                          TwipsToPixels(description.columns[c].width_twips, view_->font()));
  }
  // The current row (the one last clicked or moved to) is the list's choice;
  // further selected rows only matter for copying.
  connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (!syncing_ && current.row() >= 0) emit CurrentRowChanged(current.row());
          });
  // On a list that takes several rows, the selected rows are the choice,
  // however the current row and the selection change after each other.
  if (description.selected_rows != nullptr) {
    auto chosen = [this] {
      if (syncing_) return;
      std::vector<size_t> rows;
      for (const QModelIndex& index : view_->selectionModel()->selectedRows())
        rows.push_back(static_cast<size_t>(index.row()));
      std::sort(rows.begin(), rows.end());
      const int current = view_->currentIndex().row();
      if (rows.size() <= 1 && current >= 0) rows.assign(1, static_cast<size_t>(current));
      if (!rows.empty()) emit RowsChosen(rows);
    };
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, chosen);
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, chosen);
  }
  if (description.opens_next_page)
    connect(view_, &QTreeView::doubleClicked, this, &ListPage::RowOpened);
}

void ListPage::SelectFromApp() {
  syncing_ = true;
  const int rows = model_->rowCount();
  if (rows == 0) {
    view_->selectionModel()->clear();
  } else {
    const size_t wanted = layout_.selected != nullptr ? (app_.*layout_.selected)() : 0;
    const int row = static_cast<int>(std::min<size_t>(wanted, static_cast<size_t>(rows - 1)));
    view_->selectionModel()->setCurrentIndex(
        model_->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (layout_.selected_rows != nullptr) {
      QItemSelection more;
      for (const size_t r : (app_.*layout_.selected_rows)()) {
        if (r < static_cast<size_t>(rows) && static_cast<int>(r) != row)
          more.select(model_->index(static_cast<int>(r), 0), model_->index(static_cast<int>(r), 0));
      }
      view_->selectionModel()->select(more,
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
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
  for (const size_t row : rows) {
    if (row >= static_cast<size_t>(model_->rowCount())) break;
    const int r = static_cast<int>(row);
    for (int c = 0; c < model_->columnCount(); ++c) {
      const int wanted = view_->sizeHintForIndex(model_->index(r, c)).width();
      if (wanted > header->sectionSize(c)) header->resizeSection(c, wanted);
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
  QList<int> rows;
  if (all) {
    for (int r = 0; r < model_->rowCount(); ++r) rows << r;
  } else {
    for (const QModelIndex& index : view_->selectionModel()->selectedRows()) rows << index.row();
    std::sort(rows.begin(), rows.end());
  }
  if (rows.isEmpty()) return;
  QStringList cells;
  for (int c = 0; c < model_->columnCount(); ++c)
    cells << model_->headerData(c, Qt::Horizontal).toString();
  QString text = cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
  for (const int r : rows) {
    cells.clear();
    for (int c = 0; c < model_->columnCount(); ++c) cells << model_->index(r, c).data().toString();
    text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
  }
  QApplication::clipboard()->setText(text);
  emit Said(rows.size() == 1 ? QStringLiteral("Copied 1 row.")
                             : QStringLiteral("Copied %1 rows.").arg(rows.size()));
}

void ChangeLists(std::span<ListPage* const> pages, const std::function<void()>& change) {
  for (ListPage* page : pages) page->Model()->BeginChange();
  change();
  for (ListPage* page : pages) page->Model()->EndChange();
  for (ListPage* page : pages) page->SelectFromApp();
}

}  // namespace ombrel::gui
