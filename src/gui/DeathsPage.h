#pragma once

#include <QGroupBox>

#include "app/App.h"

class QBarSeries;
class QBarCategoryAxis;
class QChartView;
class QCheckBox;
class QComboBox;
class QLabel;
class QSplitter;
class QValueAxis;

namespace ombrel::gui {

class ListPage;
class WindowMemory;

// The Deaths page (extended rules): the deaths of the chosen fight or of the
// whole log; below, the chosen death's recap over a window of 5 to 30
// seconds, its killing blow in bold, a line that sums it up, and the
// victim's damage taken per second over the window as a small bar chart.
class DeathsPage : public QGroupBox {
  Q_OBJECT

 public:
  // The page remembers its column widths, split and recap window in `memory`.
  DeathsPage(App& app, WindowMemory& memory, QWidget* parent = nullptr);

  ListPage* Deaths() const { return deaths_; }
  ListPage* Recap() const { return recap_; }
  QCheckBox* WholeLog() const { return whole_log_; }

  // The lists were built again: reads them anew, with the recap window in force.
  void Reload();
  void SaveLayout() const;

 signals:
  void Said(const QString& text);

 private:
  // Brackets a change of the recap (a death or window chosen).
  void ChangeRecap(const std::function<void()>& change);
  // The summing-up line and the chart of the recap shown.
  void ShowRecap();

  App& app_;
  WindowMemory& memory_;
  QCheckBox* whole_log_ = nullptr;
  QSplitter* split_ = nullptr;
  ListPage* deaths_ = nullptr;
  ListPage* recap_ = nullptr;
  QLabel* note_ = nullptr;
  QComboBox* window_ = nullptr;
  QChartView* chart_view_ = nullptr;
  QBarSeries* bars_ = nullptr;
  QBarCategoryAxis* seconds_axis_ = nullptr;
  QValueAxis* damage_axis_ = nullptr;
};

}  // namespace ombrel::gui
