#pragma once

#include <array>
#include <memory>
#include <optional>
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
// grown, each bringing the app and the lists of `pages` up to date. A large
// append is read on a worker thread too, with progress and Cancel. The
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
  // Stops a catch-up or the reading of an append under way and waits for
  // it; no signal follows (the window is closing).
  void Abandon();

  // One refresh: the lines the log gained into the app and the lists, which
  // keep their selected rows and scroll positions; Refreshed or
  // RefreshFailed follows. When the log gained more than a piece, it is read
  // on the worker (AppendReading, then AppendRead before Refreshed).
  // Refreshing ends when the app no longer follows.
  void Refresh();
  // True while an append is read on the worker.
  bool ReadingAppend() const { return append_worker_.Running(); }
  // Stops reading the append: what was read is shown, and following ends
  // there as Stop without reading on.
  std::variant<ParsedRun*, Failure> CancelAppend();
  // Reads the rest of the log (unless `read_rest` is false) and shows the
  // final results.
  std::variant<ParsedRun*, Failure> Stop(bool read_rest = true);
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
  // A large append is read on the worker; and it was.
  void AppendReading();
  void AppendRead();

 private:
  void CatchUpFinished();
  // Watches the log's file and folder, or polls when neither can be watched.
  void StartWatching();
  // The log may have changed: a refresh soon, a second after the last at the earliest.
  void Changed();
  void AppendFinished();
  // Brings a refresh's reading into the app and the lists.
  void Adopt(std::variant<App::FollowStep, Failure> read);

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
  // What the worker read of an append, waiting to be adopted.
  std::shared_ptr<std::optional<std::variant<App::FollowStep, Failure>>> append_read_;
  ParseWorker append_worker_;
};

}  // namespace ombrel::gui
