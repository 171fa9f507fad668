// The timeline's legend beside the chart and the pens of its lines: colours,
// the highlighted line, the opponent's dashes.
#include <algorithm>

#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>

#include "gui/Cp1252.h"
#include "gui/TimelinePane.h"

namespace ombrel::gui {
namespace {

constexpr qreal kLineWidth = 1.5;
constexpr qreal kHighlightWidth = 4;
// Lines other than the highlighted one fade to this opacity (of 255).
constexpr int kFadedAlpha = 70;
// The legend's share of the pane's width at most.
constexpr int kLegendShare = 3;

// The legend's sample of a line.
QIcon Sample(const QColor& color, bool dashed, qreal pixel_ratio) {
  QPixmap pixmap(TimelinePane::kLegendSample * pixel_ratio);
  pixmap.setDevicePixelRatio(pixel_ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QPen pen(color, 3);
  if (dashed) pen.setStyle(Qt::DashLine);
  painter.setPen(pen);
  const qreal middle = TimelinePane::kLegendSample.height() / 2.0;
  painter.drawLine(QPointF(1, middle), QPointF(TimelinePane::kLegendSample.width() - 1, middle));
  return QIcon(pixmap);
}

}  // namespace

void TimelinePane::FillLegend() {
  // Rows are kept and only changed, so that a legend scrolled stays where it
  // is while a followed fight is drawn again.
  const int wanted = static_cast<int>(chart_data_.Series.size());
  while (legend_->count() > wanted) delete legend_->takeItem(legend_->count() - 1);
  while (legend_->count() < wanted) legend_->addItem(QString());
  const QFontMetrics metrics(legend_->font());
  int widest = 0;
  for (int s = 0; s < wanted; ++s) {
    const size_t series = static_cast<size_t>(s);
    QListWidgetItem* item = legend_->item(s);
    const QString name = FromCp1252(chart_data_.Series[series].Name);
    if (item->text() != name) {
      item->setText(name);
      item->setToolTip(name);
    }
    if (item->data(Qt::UserRole) != colours_[series]) {
      item->setData(Qt::UserRole, colours_[series]);
      item->setIcon(Sample(colours_[series],
                           chart_data_.Series[series].Kind == SeriesKind::kOpponent,
                           devicePixelRatioF()));
    }
    QFont bold = legend_->font();
    bold.setBold(true);
    widest = std::max(widest, QFontMetrics(bold).horizontalAdvance(name));
  }
  legend_->setVisible(wanted > 0);
  // Wide enough for the longest name and a scroll bar, and never more than a
  // part of the pane; longer names end in "..." with the whole as a tooltip.
  const int room = widest + TimelinePane::kLegendSample.width() + 4 * metrics.averageCharWidth() +
                   legend_->verticalScrollBar()->sizeHint().width();
  legend_->setFixedWidth(std::min(room, std::max(width() / kLegendShare, 60)));
}

void TimelinePane::StylePens() {
  for (size_t s = 0; s < chart_data_.Series.size(); ++s) {
    QLineSeries* line = Line(static_cast<int>(s));
    if (line == nullptr) continue;
    const QColor full = colours_[s];
    QColor color = full;
    const bool highlighted = static_cast<int>(s) == highlighted_;
    if (highlighted_ >= 0 && !highlighted) color.setAlpha(kFadedAlpha);
    QPen pen(color);
    pen.setWidthF(highlighted ? kHighlightWidth : kLineWidth);
    if (chart_data_.Series[s].Kind == SeriesKind::kOpponent) pen.setStyle(Qt::DashLine);
    // Each change makes the chart lay out again; unchanged pens stay.
    if (line->pen() != pen) line->setPen(pen);
    // The legends keep full colours; the highlighted name is bold.
    QListWidgetItem* item = legend_->item(static_cast<int>(s));
    if (item != nullptr && item->font().bold() != highlighted) {
      QFont font = legend_->font();
      font.setBold(highlighted);
      item->setFont(font);
    }
    for (QLegendMarker* marker : chart_->legend()->markers(line)) {
      if (marker->brush().color() != full) {
        QPen marker_pen = pen;
        marker_pen.setColor(full);
        marker->setPen(marker_pen);
        marker->setBrush(full);
      }
      if (marker->font().bold() != highlighted) {
        QFont font = marker->font();
        font.setBold(highlighted);
        marker->setFont(font);
      }
    }
  }
}

}  // namespace ombrel::gui
