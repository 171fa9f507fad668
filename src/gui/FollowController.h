#pragma once

#include <array>
#include <memory>
#include <variant>

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include "app/App.h"
#include "app/LogFollow.h"
#include "gui/ParseWorker.h"

class QFileSystemWatcher;
class QTimer;

namespace ombrel::gui {

class ListPage;

// Following a log while the game writes it: the catch-up, which reads the
// log to its end on a worker thread, then a refresh whenever the log may have
// grown, each bringing the app and the lists of `pages` up to date. The
// window reacts to the signals for everything else it shows.
//
// The log's file and folder are watched (inotify), so that an idle log costs
// nothing; refreshes come at most once a second. Where neither can be
// watched, the log is looked at every second.
class FollowController : public QObject {
  Q_OBJECT

 public:
  FollowController(App& app, std::array<ListPage*, 3> pages, QObject* parent = nullptr);
  ~FollowController() override;

  // Reads the log of `request` to its end off the window's thread;
  // CaughtUp or CatchUpFailed follows.
  void CatchUp(ParseRequest request);
  // Stops a catch-up under way and waits for it; no signal follows.
  void Abandon();

  // One refresh: the lines the log gained into the app and the lists, which
  // keep their selected rows and scroll positions; Refreshed or
  // RefreshFailed follows. Refreshing ends when the app no longer follows.
  void Refresh();
  // Reads the rest of the log and shows the final results.
  std::variant<ParsedRun*, Failure> Stop();
  // No more refreshes (another parse ended following).
  void StopRefreshing();
  // True when the log is watched rather than looked at every second.
  bool Watching() const;

 signals:
  void ProgressChanged(int percent);
  // The catch-up's results are shown and refreshing has begun.
  void CaughtUp();
  // The catch-up failed or was cancelled; the earlier results stay.
  void CatchUpFailed(const std::variant<ParsedRun, Failure>& result);
  // Time to refresh: the window calls Refresh unless it is busy.
  void RefreshDue();
  void Refreshed(const App::FollowStep& step);
  void RefreshFailed(const Failure& failure);

 private:
  void CatchUpFinished();
  // Watches the log's file and folder, or polls when neither can be watched.
  void StartWatching();
  // The log may have changed: a refresh soon, a second after the last at the earliest.
  void Changed();

  App& app_;
  std::array<ListPage*, 3> pages_;
  // The follow made on the worker waits here until it is adopted.
  std::shared_ptr<std::unique_ptr<LogFollow>> caught_up_;
  ParseWorker worker_;
  QString path_;
  QFileSystemWatcher* watcher_ = nullptr;
  QTimer* timer_ = nullptr;  // the poll, where nothing can be watched
  QTimer* soon_ = nullptr;   // the refresh after a change
  QElapsedTimer since_refresh_;
};

}  // namespace ombrel::gui
