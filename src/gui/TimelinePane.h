#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QWidget>

#include "analysis/Timeline.h"
#include "report/SeriesColours.h"

class QChart;
class QChartView;
class QComboBox;
class QLineSeries;
class QListWidget;
class QValueAxis;

namespace ombrel::gui {

// The chart under the event-detail list: damage per second over a moving
// window for the top dealers, "Others" and the opponent, one line each, the
// window length to choose above it and the legend, a list that scrolls, right
// of it. Hovering a line shows the second (with its clock time), the series
// and the value; the event-detail list's current row highlights its line. A
// combatant's line keeps its colour in every fight the pane shows. However
// small the chart, its texts are never cut: it draws fewer ticks, then leaves
// out the axis titles, takes a smaller font and leaves out its title.
// TimelinePane.cpp builds the pane and its series, TimelinePaneLegend.cpp the
// legend and the pens, TimelinePaneFit.cpp fits the chart's texts.
class TimelinePane : public QWidget {
  Q_OBJECT

 public:
  // The size of the legend's line samples.
  static constexpr QSize kLegendSample{24, 10};

  explicit TimelinePane(QWidget* parent = nullptr);

  // Draws `timeline`, which must stay alive and unchanged until the next
  // Show (the app keeps it with the event-detail list); "No fight" for a
  // timeline without rows.
  void Show(const Timeline& timeline);
  // One of kDpsWindowChoices; redraws.
  void SetWindowSeconds(int seconds);
  int WindowSeconds() const { return chart_data_.WindowSeconds; }

  // Highlights the line that shows the event-detail row named `name` (its
  // own or "Others"); none for a row without a line or the total row.
  void HighlightRow(const std::string& name);
  // The highlighted series (an index into Chart().Series), -1 for none.
  int HighlightedSeries() const { return highlighted_; }
  const DpsChart& Chart() const { return chart_data_; }
  QChartView* View() const { return view_; }
  QLineSeries* Line(int series) const;
  QListWidget* Legend() const { return legend_; }

  // Saves the chart, its legend drawn in it, at least 640 by 360: PNG when
  // the path ends in ".png" (any letter case), SVG otherwise. Written whole
  // or not at all; the reason when it could not be written.
  std::optional<QString> SavePicture(const QString& path);

  // The tooltip text of point `point` of series `series`.
  QString PointText(int series, int point) const;

 signals:
  void WindowSecondsChanged(int seconds);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Redraw();
  void FillLegend();
  void StylePens();
  // Chooses the ticks, fonts and titles that let every text of the chart
  // show whole at its present size.
  void Fit();
  void FitTicks();
  bool AnyTextCut() const;
  void Hovered(int series, const QPointF& where, bool entered);

  QComboBox* window_choice_ = nullptr;
  QChart* chart_ = nullptr;
  QChartView* view_ = nullptr;
  QListWidget* legend_ = nullptr;
  QValueAxis* seconds_axis_ = nullptr;
  QValueAxis* dps_axis_ = nullptr;
  QFont font_;        // of the axes' labels and titles at full size
  QFont title_font_;  // of the chart's title at full size
  QString title_;
  const Timeline* timeline_ = nullptr;
  DpsChart chart_data_;
  SeriesColours colour_book_;
  std::vector<QColor> colours_;  // of each series
  int highlighted_ = -1;
};

}  // namespace ombrel::gui
