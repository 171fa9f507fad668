// The pane's widgets, the series built from the timeline, the hover text and
// the picture; the legend is drawn in TimelinePaneLegend.cpp, the chart's
// texts fitted in TimelinePaneFit.cpp.
#include "gui/TimelinePane.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QListWidget>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include "gui/Cp1252.h"
#include "shared/Display.h"

namespace ombrel::gui {
namespace {

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
  legend_->setIconSize(kLegendSample);
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

void TimelinePane::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FillLegend();
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
