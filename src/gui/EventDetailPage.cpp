#include "gui/EventDetailPage.h"

#include <QHeaderView>
#include <QLayout>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTreeView>

#include "app/SortEventDetail.h"
#include "gui/SortArrowStyle.h"
#include "gui/TextTableModel.h"
#include "gui/TimelinePane.h"
#include "gui/WaitCursor.h"
#include "gui/WindowMemory.h"

namespace ombrel::gui {

EventDetailPage::EventDetailPage(App& app, WindowMemory& memory, QWidget* parent)
    : ListPage(kEventDetailPage, app, parent), memory_(memory) {
  // The list shares its page with the timeline, below it.
  split_ = new QSplitter(Qt::Vertical, this);
  split_->setObjectName(QStringLiteral("EventDetailSplit"));
  split_->setChildrenCollapsible(false);
  layout()->removeWidget(View());
  split_->addWidget(View());
  timeline_ = new TimelinePane(split_);
  split_->addWidget(timeline_);
  split_->setStretchFactor(0, 1);
  split_->setStretchFactor(1, 1);
  layout()->addWidget(split_);
  // The sort arrow points the way the list is sorted.
  auto* arrow_style = new SortArrowStyle;
  arrow_style->setParent(View()->header());
  View()->header()->setStyle(arrow_style);
  connect(timeline_, &TimelinePane::WindowSecondsChanged, this,
          [this](int seconds) { memory_.SetNumber("timelineWindow", seconds); });
}

void EventDetailPage::RestoreLayout() {
  RestoreColumns(memory_);
  const QByteArray split = memory_.Bytes("timelineSplit");
  if (!split.isEmpty()) split_->restoreState(split);
  timeline_->SetWindowSeconds(memory_.Number("timelineWindow", kDefaultDpsWindow));
  ShowTimeline(memory_.Flag("timelineShown", true));
}

void EventDetailPage::SaveLayout() const {
  SaveColumns(memory_);
  memory_.SetBytes("timelineSplit", split_->saveState());
}

void EventDetailPage::HeaderClicked(int section, bool allowed) {
  QHeaderView* header = View()->header();
  const auto column = static_cast<EventDetailColumn>(section);
  if (!allowed || section < 0 || !IsSortKey(column)) {
    // The header flips its indicator on any click; put back the sorted one.
    const QSignalBlocker quiet(header);
    header->setSortIndicator(sort_section_, sort_order_);
    return;
  }
  {
    const WaitCursor wait;
    Model()->BeginChange();
    app_.EventDetailHeaderClicked(section + 1);
    Model()->EndChange();
    SelectFromApp();
    HighlightTimelineRow();
  }
  // Names ascend, the figures descend.
  sort_section_ = section;
  sort_order_ = column == EventDetailColumn::kDamageBy ? Qt::AscendingOrder : Qt::DescendingOrder;
  header->setSortIndicatorShown(true);
  header->setSortIndicator(sort_section_, sort_order_);
}

void EventDetailPage::ClearSortIndicator() {
  View()->header()->setSortIndicatorShown(false);
}

void EventDetailPage::ShowTimeline(bool shown) {
  timeline_->setVisible(shown);
  memory_.SetFlag("timelineShown", shown);
  // A pane opened again shows the event of the list.
  if (shown && app_.ExportEventDetailEnabled()) DrawTimeline();
}

bool EventDetailPage::TimelineShown() const {
  return !timeline_->isHidden();
}

void EventDetailPage::DrawTimeline() {
  if (timeline_->isHidden()) return;
  timeline_->Show(app_.EventTimeline());
  HighlightTimelineRow();
}

void EventDetailPage::HighlightTimelineRow() {
  const TextTable& list = app_.EventDetailList();
  const size_t row = app_.SelectedCombatant();
  // The total row sums the opponent's side; it has no line of its own.
  timeline_->HighlightRow(row > 0 && row < list.Rows()
                              ? CellAt(list, row, EventDetailColumn::kDamageBy)
                              : std::string());
}

std::optional<QString> EventDetailPage::SaveTimelinePicture(const QString& path) {
  // A closed pane is drawn for the picture all the same.
  if (timeline_->isHidden()) {
    timeline_->resize(split_->width(), split_->height() / 2);
    timeline_->Show(app_.EventTimeline());
    HighlightTimelineRow();
  }
  const WaitCursor wait;
  return timeline_->SavePicture(path);
}

}  // namespace ombrel::gui
