#include "gui/TimelinePane.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QSaveFile>
#include <QScrollBar>
#include <QSvgGenerator>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include "gui/Cp1252.h"
#include "report/TimelineSvg.h"
#include "shared/Display.h"

namespace ombrel::gui {
namespace {

constexpr qreal kLineWidth = 1.5;
constexpr qreal kHighlightWidth = 4;
// Lines other than the highlighted one fade to this opacity (of 255).
constexpr int kFadedAlpha = 70;
// The legend's line samples, and its share of the pane's width at most.
constexpr QSize kSampleSize(24, 10);
constexpr int kLegendShare = 3;
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

// A chart view that fits its chart again after each resize.
class FittedChartView : public QChartView {
 public:
  FittedChartView(QChart* chart, QWidget* parent, std::function<void()> fit)
      : QChartView(chart, parent), fit_(std::move(fit)) {}

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QChartView::resizeEvent(event);
    fit_();
  }

 private:
  std::function<void()> fit_;
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

// The legend's sample of a line.
QIcon Sample(const QColor& color, bool dashed, qreal pixel_ratio) {
  QPixmap pixmap(kSampleSize * pixel_ratio);
  pixmap.setDevicePixelRatio(pixel_ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QPen pen(color, 3);
  if (dashed) pen.setStyle(Qt::DashLine);
  painter.setPen(pen);
  const qreal middle = kSampleSize.height() / 2.0;
  painter.drawLine(QPointF(1, middle), QPointF(kSampleSize.width() - 1, middle));
  return QIcon(pixmap);
}

}  // namespace

TimelinePane::TimelinePane(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TimelinePane"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(QStringLiteral("Damage per second over &the last"), this);
  window_choice_ = new QComboBox(this);
  window_choice_->setObjectName(QStringLiteral("cmbTimelineWindow"));
  for (const int seconds : kDpsWindowChoices) {
    window_choice_->addItem(
        seconds == 1 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(seconds),
        seconds);
  }
  label->setBuddy(window_choice_);
  row->addWidget(label);
  row->addWidget(window_choice_);
  row->addStretch(1);
  column->addLayout(row);

  chart_ = new QChart;
  // The window's legend is the list beside the chart, which scrolls when the
  // chart is low; the chart's own shows in the saved picture only.
  chart_->legend()->setAlignment(Qt::AlignRight);
  chart_->legend()->setVisible(false);
  chart_->setMargins(QMargins(4, 4, 4, 4));
  seconds_axis_ = new QValueAxis(chart_);
  seconds_axis_->setTitleText(QStringLiteral("Seconds from the start"));
  seconds_axis_->setLabelFormat(QStringLiteral("%d"));
  dps_axis_ = new QValueAxis(chart_);
  dps_axis_->setTitleText(QStringLiteral("Damage per second"));
  dps_axis_->setLabelFormat(QStringLiteral("%.0f"));
  chart_->addAxis(seconds_axis_, Qt::AlignBottom);
  chart_->addAxis(dps_axis_, Qt::AlignLeft);
  font_ = dps_axis_->labelsFont();
  title_font_ = chart_->titleFont();
  auto* plot_row = new QHBoxLayout;
  plot_row->setSpacing(0);
  view_ = new FittedChartView(chart_, this, [this] { Fit(); });
  view_->setObjectName(QStringLiteral("TimelineChart"));
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setMinimumHeight(120);
  plot_row->addWidget(view_, 1);
  legend_ = new QListWidget(this);
  legend_->setObjectName(QStringLiteral("TimelineLegend"));
  legend_->setSelectionMode(QAbstractItemView::NoSelection);
  legend_->setFocusPolicy(Qt::NoFocus);
  legend_->setFrameShape(QFrame::NoFrame);
  legend_->setIconSize(kSampleSize);
  legend_->setTextElideMode(Qt::ElideRight);
  legend_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  legend_->setMinimumHeight(0);
  plot_row->addWidget(legend_);
  column->addLayout(plot_row, 1);

  const int default_index = window_choice_->findData(kDefaultDpsWindow);
  window_choice_->setCurrentIndex(default_index);
  chart_data_.WindowSeconds = kDefaultDpsWindow;
  connect(window_choice_, &QComboBox::currentIndexChanged, this, [this](int index) {
    const int seconds = window_choice_->itemData(index).toInt();
    if (seconds == chart_data_.WindowSeconds) return;
    chart_data_.WindowSeconds = seconds;
    Redraw();
    emit WindowSecondsChanged(seconds);
  });
  Redraw();
}

void TimelinePane::Show(const Timeline& timeline) {
  timeline_ = &timeline;
  highlighted_ = -1;
  Redraw();
}

void TimelinePane::SetWindowSeconds(int seconds) {
  const int index = window_choice_->findData(seconds);
  if (index >= 0) window_choice_->setCurrentIndex(index);
}

QLineSeries* TimelinePane::Line(int series) const {
  const QList<QAbstractSeries*> lines = chart_->series();
  if (series < 0 || series >= lines.size()) return nullptr;
  return static_cast<QLineSeries*>(lines[series]);
}

void TimelinePane::Redraw() {
  const int window = chart_data_.WindowSeconds;
  const bool fight = timeline_ != nullptr && !timeline_->Rows.empty();
  if (fight) {
    chart_data_ = MovingWindowDps(*timeline_, window);
    title_ = FromCp1252(timeline_->Opponent) + QStringLiteral(", ") +
             QString::fromStdString(display::DateTimeText(timeline_->Start));
  } else {
    chart_data_ = DpsChart{};
    chart_data_.WindowSeconds = window;
    title_ = timeline_ != nullptr ? QStringLiteral("No fight") : QString();
  }
  colours_.clear();
  for (const uint32_t rgb : colour_book_.Of(chart_data_)) {
    colours_.push_back(QColor::fromRgb(static_cast<QRgb>(rgb)));
  }

  // The lines are kept from one fight to the next and only refilled: adding
  // and removing series costs the chart far more than new points do.
  const int wanted = static_cast<int>(chart_data_.Series.size());
  while (chart_->series().size() > wanted) {
    QAbstractSeries* extra = chart_->series().back();
    chart_->removeSeries(extra);
    delete extra;
  }
  while (chart_->series().size() < wanted) {
    const int index = static_cast<int>(chart_->series().size());
    auto* line = new QLineSeries;
    chart_->addSeries(line);
    line->attachAxis(seconds_axis_);
    line->attachAxis(dps_axis_);
    connect(line, &QLineSeries::hovered, this,
            [this, index](const QPointF& where, bool entered) { Hovered(index, where, entered); });
  }
  const int points = static_cast<int>(chart_data_.Points);
  for (int s = 0; s < wanted; ++s) {
    const DpsSeries& data = chart_data_.Series[static_cast<size_t>(s)];
    QList<QPointF> xy;
    xy.reserve(points);
    for (int p = 0; p < points; ++p) {
      xy.append(QPointF(static_cast<qreal>(chart_data_.SecondOfPoint(static_cast<size_t>(p))),
                        data.Values[static_cast<size_t>(p)]));
    }
    QLineSeries* line = Line(s);
    const QString name = FromCp1252(data.Name);
    if (line->name() != name) line->setName(name);
    line->replace(xy);
  }
  seconds_axis_->setVisible(fight);
  dps_axis_->setVisible(fight);
  FillLegend();
  StylePens();
  Fit();
}

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
  const int room = widest + kSampleSize.width() + 4 * metrics.averageCharWidth() +
                   legend_->verticalScrollBar()->sizeHint().width();
  legend_->setFixedWidth(std::min(room, std::max(width() / kLegendShare, 60)));
}

void TimelinePane::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FillLegend();
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

void TimelinePane::HighlightRow(const std::string& name) {
  int series = -1;
  if (timeline_ != nullptr) {
    for (size_t r = 0; r < timeline_->Rows.size(); ++r) {
      if (timeline_->Rows[r].Name == name) {
        series = chart_data_.SeriesOfRow(r);
        break;
      }
    }
  }
  if (series == highlighted_) return;
  highlighted_ = series;
  StylePens();
}

QString TimelinePane::PointText(int series, int point) const {
  if (timeline_ == nullptr || series < 0 ||
      static_cast<size_t>(series) >= chart_data_.Series.size() || point < 0 ||
      static_cast<size_t>(point) >= chart_data_.Points) {
    return {};
  }
  const int64_t second = chart_data_.SecondOfPoint(static_cast<size_t>(point));
  const DateTime clock{timeline_->Start.seconds + second};
  const DpsSeries& data = chart_data_.Series[static_cast<size_t>(series)];
  return QStringLiteral("Second %1 (%2)\n%3: %4 damage per second")
      .arg(second)
      .arg(QString::fromStdString(display::TimeText(clock)), FromCp1252(data.Name),
           QString::fromStdString(display::Fixed2(data.Values[static_cast<size_t>(point)])));
}

void TimelinePane::Hovered(int series, const QPointF& where, bool entered) {
  if (!entered) {
    QToolTip::hideText();
    return;
  }
  // The point nearest to the pointer along the seconds axis.
  const double steps = (where.x() - static_cast<double>(chart_data_.FirstSecond) + 1) /
                           static_cast<double>(chart_data_.StepSeconds) -
                       1;
  const int point = static_cast<int>(std::clamp<double>(
      std::round(steps), 0, static_cast<double>(std::max<size_t>(chart_data_.Points, 1) - 1)));
  QToolTip::showText(QCursor::pos(), PointText(series, point), view_);
}

std::optional<QString> TimelinePane::SavePicture(const QString& path) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return file.errorString();
  // The chart is drawn at the picture's size with its own legend, then given
  // back to the window.
  const QSize size = view_->size().expandedTo(QSize(640, 360));
  const QRectF area(QPointF(0, 0), size);
  chart_->legend()->setVisible(!chart_data_.Series.empty());
  chart_->resize(size);
  Fit();
  bool encoded = true;
  if (path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
    const qreal pixel_ratio = view_->devicePixelRatioF();
    QImage picture(size * pixel_ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(pixel_ratio);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    view_->scene()->render(&painter, area, area);
    painter.end();
    encoded = picture.save(&file, "PNG");
  } else {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title_);
    svg.setDescription(QStringLiteral("Damage per second over a moving window"));
    QPainter painter(&svg);
    view_->scene()->render(&painter, area, area);
    painter.end();
  }
  chart_->legend()->setVisible(false);
  chart_->resize(view_->size());
  Fit();
  if (!encoded) return QStringLiteral("the picture could not be encoded");
  if (!file.commit()) return file.errorString();
  return std::nullopt;
}

}  // namespace ombrel::gui
