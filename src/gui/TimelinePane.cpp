#include "gui/TimelinePane.h"

#include <algorithm>
#include <cmath>

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QSaveFile>
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

QColor SeriesColor(const DpsChart& chart, size_t series) {
  return QColor::fromRgb(static_cast<QRgb>(TimelineSeriesRgb(chart, series)));
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
  chart_->legend()->setAlignment(Qt::AlignRight);
  chart_->setMargins(QMargins(4, 4, 4, 4));
  seconds_axis_ = new QValueAxis(chart_);
  seconds_axis_->setTitleText(QStringLiteral("Seconds from the start"));
  seconds_axis_->setLabelFormat(QStringLiteral("%d"));
  dps_axis_ = new QValueAxis(chart_);
  dps_axis_->setTitleText(QStringLiteral("Damage per second"));
  dps_axis_->setLabelFormat(QStringLiteral("%.0f"));
  chart_->addAxis(seconds_axis_, Qt::AlignBottom);
  chart_->addAxis(dps_axis_, Qt::AlignLeft);
  view_ = new QChartView(chart_, this);
  view_->setObjectName(QStringLiteral("TimelineChart"));
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setMinimumHeight(120);
  column->addWidget(view_, 1);

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
  if (timeline_ == nullptr) {
    chart_->removeAllSeries();
    return;
  }
  const int window = chart_data_.WindowSeconds;
  chart_data_ = MovingWindowDps(*timeline_, window);
  chart_->setTitle(FromCp1252(timeline_->Opponent) + QStringLiteral(", ") +
                   QString::fromStdString(display::DateTimeText(timeline_->Start)));

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
  const qreal first = static_cast<qreal>(chart_data_.FirstSecond);
  const qreal last =
      points == 0 ? first + 1 : static_cast<qreal>(chart_data_.SecondOfPoint(points - 1));
  seconds_axis_->setRange(first, std::max(last, first + 1));
  // Round seconds (10, 15, 30, 60...) counted from the start, as the picture has them.
  const std::vector<double> ticks = AxisTicks(first, std::max(last, first + 1), 8, true);
  seconds_axis_->setTickType(QValueAxis::TicksDynamic);
  seconds_axis_->setTickAnchor(0);
  seconds_axis_->setTickInterval(ticks.size() > 1 ? ticks[1] - ticks[0] : 1);
  dps_axis_->setRange(0, std::max(chart_data_.Peak(), 1.0));
  dps_axis_->applyNiceNumbers();
  StylePens();
}

void TimelinePane::StylePens() {
  for (size_t s = 0; s < chart_data_.Series.size(); ++s) {
    QLineSeries* line = Line(static_cast<int>(s));
    if (line == nullptr) continue;
    const QColor full = SeriesColor(chart_data_, s);
    QColor color = full;
    const bool highlighted = static_cast<int>(s) == highlighted_;
    if (highlighted_ >= 0 && !highlighted) color.setAlpha(kFadedAlpha);
    QPen pen(color);
    pen.setWidthF(highlighted ? kHighlightWidth : kLineWidth);
    if (chart_data_.Series[s].Kind == SeriesKind::kOpponent) pen.setStyle(Qt::DashLine);
    // Each change makes the chart lay out again; unchanged pens stay.
    if (line->pen() != pen) line->setPen(pen);
    // The legend keeps full colours; the highlighted name is bold.
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
  const QSize size = view_->size().expandedTo(QSize(640, 360));
  if (path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
    const QPixmap picture = view_->grab();
    if (!picture.save(&file, "PNG")) return QStringLiteral("the picture could not be encoded");
  } else {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(chart_->title());
    svg.setDescription(QStringLiteral("Damage per second over a moving window"));
    QPainter painter(&svg);
    view_->render(&painter, QRectF(QPointF(0, 0), size), view_->rect());
    painter.end();
  }
  if (!file.commit()) return file.errorString();
  return std::nullopt;
}

}  // namespace ombrel::gui
