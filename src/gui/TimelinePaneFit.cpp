// The timeline chart fitted to its size: the ticks of both axes, and the
// titles and fonts left out one after the other until no text is cut.
#include <algorithm>
#include <cmath>

#include <QChart>
#include <QChartView>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QValueAxis>

#include "gui/TimelinePane.h"
#include "report/TimelineSvg.h"

namespace ombrel::gui {
namespace {

// A smaller font is this part of the full one, and never under the least.
constexpr qreal kSmallFontPart = 0.8;
constexpr qreal kLeastPointSize = 6.5;

// What a chart too small for all of its texts leaves out, one step after the
// other: the damage axis's title, then the full font, the seconds axis's
// title and at last the chart's title. Each step draws as many ticks as fit.
struct FitStep {
  bool dps_title;
  bool small_font;
  bool seconds_title;
  bool chart_title;
};
constexpr FitStep kFitSteps[] = {
    {true, false, true, true},  {false, false, true, true},  {false, true, true, true},
    {false, true, false, true}, {false, true, false, false},
};

// The chart's layout now, not when the event loop comes to it.
void Settle(QChart* chart) {
  chart->layout()->invalidate();
  chart->layout()->activate();
}

QFont Smaller(QFont font) {
  font.setPointSizeF(std::max(font.pointSizeF() * kSmallFontPart, kLeastPointSize));
  return font;
}

}  // namespace

void TimelinePane::Fit() {
  if (chart_data_.Series.empty()) {
    chart_->setTitleFont(title_font_);
    chart_->setTitle(title_);
    return;
  }
  for (const FitStep& step : kFitSteps) {
    const QFont font = step.small_font ? Smaller(font_) : font_;
    for (QValueAxis* axis : {seconds_axis_, dps_axis_}) {
      if (axis->labelsFont() != font) axis->setLabelsFont(font);
      if (axis->titleFont() != font) axis->setTitleFont(font);
    }
    dps_axis_->setTitleVisible(step.dps_title);
    seconds_axis_->setTitleVisible(step.seconds_title);
    const QFont title_font = step.small_font ? Smaller(title_font_) : title_font_;
    if (chart_->titleFont() != title_font) chart_->setTitleFont(title_font);
    chart_->setTitle(step.chart_title ? title_ : QString());
    Settle(chart_);
    FitTicks();
    Settle(chart_);
    if (!AnyTextCut()) return;
  }
}

void TimelinePane::FitTicks() {
  const QRectF plot = chart_->plotArea();
  const QFontMetricsF metrics(seconds_axis_->labelsFont());
  // Damage: round steps (1, 2 or 5 times a power of ten) a label's height
  // and a half apart at least, up to a round value above the peak.
  const int most = std::clamp(static_cast<int>(plot.height() / (metrics.height() * 1.5)), 1, 5);
  const double peak = std::max(chart_data_.Peak(), 1.0);
  double step = 1;
  for (double power = 1; std::ceil(peak / step - 1e-9) > most;) {
    step = step == power ? 2 * power : step == 2 * power ? 5 * power : (power *= 10);
  }
  const double intervals = std::max(1.0, std::ceil(peak / step - 1e-9));
  dps_axis_->setRange(0, step * intervals);
  dps_axis_->setTickCount(static_cast<int>(intervals) + 1);

  // Seconds: round seconds (10, 15, 30, 60...) counted from the start, as
  // the picture has them, the widest label's width apart at least.
  const qreal first = static_cast<qreal>(chart_data_.FirstSecond);
  const qreal last = chart_data_.Points == 0
                         ? first + 1
                         : static_cast<qreal>(chart_data_.SecondOfPoint(chart_data_.Points - 1));
  const qreal high = std::max(last, first + 1);
  seconds_axis_->setRange(first, high);
  const qreal widest =
      std::max(metrics.horizontalAdvance(QString::number(static_cast<qint64>(first))),
               metrics.horizontalAdvance(QString::number(static_cast<qint64>(high))));
  const int wanted = std::clamp(static_cast<int>((plot.width() - widest) / (2 * widest)), 1, 8);
  const std::vector<double> ticks = AxisTicks(first, high, wanted, true);
  seconds_axis_->setTickType(QValueAxis::TicksDynamic);
  seconds_axis_->setTickAnchor(0);
  seconds_axis_->setTickInterval(ticks.size() > 1 ? ticks[1] - ticks[0] : high - first);
}

bool TimelinePane::AnyTextCut() const {
  // The chart cuts a text that has no room to "...".
  const QGraphicsItem* legend = chart_->legend();
  const QList<QGraphicsItem*> items = view_->scene()->items();
  return std::any_of(items.begin(), items.end(), [&](const QGraphicsItem* item) {
    const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
    if (text == nullptr || !text->isVisible() || legend->isAncestorOf(text)) return false;
    const QString shown = text->toPlainText();
    return shown != title_ &&
           (shown.endsWith(QStringLiteral("...")) || shown.endsWith(QChar(0x2026)));
  });
}

}  // namespace ombrel::gui
