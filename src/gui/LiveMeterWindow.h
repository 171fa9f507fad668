#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>

#include "app/App.h"
#include "app/LiveMeter.h"

class QAction;

namespace ombrel::gui {

class WindowMemory;

// View > Live Meter: a small window that stays on top of the game's, with
// one bar per combatant of the encounter in progress (or the last one) of the
// log parsed or followed, most damage first, the character's own bar bold
// and outlined. It is a window of its own, not a child of the main window,
// so that it stays when the main window is minimised. Its place, size,
// opacity and frame are remembered; without a frame it is moved by dragging
// its body, and its context menu gives the frame back.
class LiveMeterWindow : public QWidget {
  Q_OBJECT

 public:
  // `toggle` is the checkable menu item that shows and hides the meter;
  // `busy` tells when the app's log is being read on a worker (and must not
  // be looked at).
  LiveMeterWindow(const App& app, WindowMemory& memory, QAction* toggle,
                  std::function<bool()> busy);

  // Brings the bars up to the app's log; costs next to nothing when the
  // meter is hidden or the encounter did not change. Not while the app's log
  // is being read on a worker.
  void Refresh();
  // Remembers the place, size, opacity and frame.
  void SaveState();

  // The opacity in percent, and whether the window has no frame.
  int OpacityPercent() const { return opacity_; }
  void SetOpacityPercent(int percent);
  bool Frameless() const { return frameless_; }
  void SetFrameless(bool frameless);
  const LiveMeter& Meter() const { return meter_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Shown(bool shown);
  void ApplyFlags();
  // The header: the encounter, its active time, whether it goes on.
  QString Header() const;
  QColor ColourOf(const std::string& name);

  const App& app_;
  WindowMemory& memory_;
  QAction* toggle_;
  std::function<bool()> busy_;
  LiveMeter meter_;
  bool live_ = false;
  int opacity_ = 100;
  bool frameless_ = false;
  QString note_;  // said once under Wayland, until the bars first change
  std::unordered_map<std::string, QColor> colours_;  // a name keeps its colour
  std::optional<QPoint> drag_from_;                  // where a drag of the body grabbed the window
};

}  // namespace ombrel::gui
