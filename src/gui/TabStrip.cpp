#include "gui/TabStrip.h"

#include <algorithm>

#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

namespace ombrel::gui {

TabStrip::TabStrip(QWidget* parent) : QTabBar(parent) {
  setDrawBase(false);
  setExpanding(false);
}

void TabStrip::paintEvent(QPaintEvent* event) {
  QTabBar::paintEvent(event);

  int tabs_height = 0;
  for (int i = 0; i < count(); ++i) tabs_height = std::max(tabs_height, tabRect(i).bottom() + 1);
  const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);

  QStylePainter painter(this);
  QStyleOptionTabWidgetFrame pane;
  pane.initFrom(this);
  pane.shape = shape();
  pane.rect = QRect(0, tabs_height - overlap, width(), height() - tabs_height + overlap);
  painter.drawPrimitive(QStyle::PE_FrameTabWidget, pane);

  // The selected tab again, over the pane's edge so that it opens into it;
  // clipped, because a style may draw it down to the bar's bottom.
  if (currentIndex() >= 0) {
    QStyleOptionTab tab;
    initStyleOption(&tab, currentIndex());
    painter.setClipRect(QRect(0, 0, width(), tabs_height));
    painter.drawControl(QStyle::CE_TabBarTab, tab);
  }
}

}  // namespace ombrel::gui
