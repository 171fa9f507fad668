#include "gui/EventsPage.h"

#include <unordered_set>

#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>
#include <QVBoxLayout>

#include "gui/TextTableModel.h"

namespace ombrel::gui {

EventsPage::EventsPage(App& app, QWidget* parent) : ListPage(kEventsPage, app, parent) {
  filter_ = new QLineEdit(this);
  filter_->setObjectName(QStringLiteral("EventsFilter"));
  filter_->setPlaceholderText(QStringLiteral("Filter by opponent"));
  filter_->setClearButtonEnabled(true);
  filter_->installEventFilter(this);
  static_cast<QVBoxLayout*>(layout())->insertWidget(0, filter_);
  hidden_ = new QLabel(this);
  hidden_->setObjectName(QStringLiteral("HiddenFights"));
  hidden_->hide();

  shown_ = new EventsViewModel(app_, *Model(), this);
  ShowThrough(shown_);
  View()->setExpandsOnDoubleClick(false);  // a double-click opens the fights' detail
  connect(filter_, &QLineEdit::textChanged, this,
          [this](const QString& text) { Reshow([&] { shown_->SetText(text); }); });
  connect(shown_, &QAbstractItemModel::layoutChanged, this, &EventsPage::ShowHiddenCount);
  connect(shown_, &QAbstractItemModel::modelReset, this, &EventsPage::ShowHiddenCount);
}

void EventsPage::SetGrouped(bool grouped) {
  Reshow([&] {
    shown_->SetGrouped(grouped);
    View()->setRootIsDecorated(grouped);
    View()->setItemsExpandable(grouped);
  });
}

void EventsPage::SetLimits(SmallFightLimits limits) {
  Reshow([&] { shown_->SetLimits(limits); });
}

void EventsPage::ShowHiddenCount() {
  const size_t hidden = shown_->SmallHidden();
  hidden_->setText(
      hidden == 1 ? QStringLiteral("1 small fight hidden")
                  : QStringLiteral("%1 small fights hidden").arg(static_cast<qsizetype>(hidden)));
  hidden_->setVisible(hidden > 0);
}

bool EventsPage::eventFilter(QObject* watched, QEvent* event) {
  // Esc in the filter box clears it, before the window's Esc (Cancel) sees it.
  if (watched == filter_ && !filter_->text().isEmpty() &&
      (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    event->accept();
    if (event->type() == QEvent::KeyPress) filter_->clear();
    return true;
  }
  return ListPage::eventFilter(watched, event);
}

void EventsPage::AddRows(const QModelIndex& index, std::vector<size_t>& rows) const {
  shown_->AddRows(index, rows);
}

QModelIndex EventsPage::IndexOfRow(size_t row) const {
  return shown_->IndexOfRow(row);
}

QModelIndex EventsPage::Selection(size_t current, const std::vector<size_t>& rows,
                                  QItemSelection& selection) const {
  const QModelIndex at = ListPage::Selection(current, rows, selection);
  if (!shown_->Grouped()) return at;
  // An encounter whose every fight is chosen was chosen whole: its row is
  // selected and current.
  std::unordered_set<int> looked_at;
  QModelIndex whole_current;
  for (const size_t row : rows) {
    const QModelIndex fight = shown_->IndexOfRow(row);
    if (!fight.parent().isValid() || !looked_at.insert(fight.parent().row()).second) continue;
    const QModelIndex whole = shown_->WholeEncounter(fight, rows);
    if (!whole.isValid()) continue;
    selection.select(whole, whole);
    if (whole == at.parent()) whole_current = whole;
  }
  return whole_current.isValid() ? whole_current : at;
}

std::vector<size_t> EventsPage::ShownRows() const {
  return shown_->ShownRows();
}

}  // namespace ombrel::gui
