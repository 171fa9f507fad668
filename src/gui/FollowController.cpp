#include "gui/FollowController.h"

#include <algorithm>
#include <utility>

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include "gui/ListPage.h"
#include "gui/Paths.h"

namespace ombrel::gui {

FollowController::FollowController(App& app, std::array<ListPage*, 3> pages, QObject* parent)
    : QObject(parent),
      app_(app),
      pages_(pages),
      caught_up_(std::make_shared<std::unique_ptr<LogFollow>>()),
      worker_([slot = caught_up_](const ParseRequest& request,
                                  const Progress& progress) -> std::variant<ParsedRun, Failure> {
        auto follow = std::make_unique<LogFollow>(request);
        auto first = follow->Refresh(progress);
        if (auto* failure = std::get_if<Failure>(&first)) return std::move(*failure);
        ParsedRun run;
        run.cancelled = std::get<LogFollow::Refreshed>(first).cancelled;
        if (!run.cancelled) *slot = std::move(follow);
        return run;
      }),
      append_read_(std::make_shared<std::optional<std::variant<App::FollowStep, Failure>>>()),
      append_worker_(
          [&app, slot = append_read_](
              const ParseRequest&, const Progress& progress) -> std::variant<ParsedRun, Failure> {
            *slot = app.ReadFollowed(progress);
            return ParsedRun{};
          }) {
  timer_ = new QTimer(this);
  timer_->setObjectName(QStringLiteral("followTimer"));
  timer_->setInterval(1000);  // at most once a second
  connect(timer_, &QTimer::timeout, this, &FollowController::RefreshDue);
  soon_ = new QTimer(this);
  soon_->setSingleShot(true);
  connect(soon_, &QTimer::timeout, this, &FollowController::RefreshDue);
  watcher_ = new QFileSystemWatcher(this);
  // A log written to, or replaced, created or removed in its folder.
  connect(watcher_, &QFileSystemWatcher::fileChanged, this, &FollowController::Changed);
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &FollowController::Changed);
  connect(&worker_, &ParseWorker::ProgressChanged, this, &FollowController::ProgressChanged);
  connect(&worker_, &ParseWorker::Finished, this, &FollowController::CatchUpFinished);
  connect(&append_worker_, &ParseWorker::ProgressChanged, this, &FollowController::ProgressChanged);
  connect(&append_worker_, &ParseWorker::Finished, this, &FollowController::AppendFinished);
}

FollowController::~FollowController() {
  Abandon();
}

void FollowController::CatchUp(ParseRequest request) {
  path_ = QFileInfo(FromPath(request.log)).absoluteFilePath();
  caught_up_->reset();
  worker_.Start(std::move(request));
}

void FollowController::Abandon() {
  worker_.Abandon();
  append_worker_.Abandon();
}

void FollowController::CatchUpFinished() {
  const std::variant<ParsedRun, Failure> result = worker_.TakeResult();
  const auto* run = std::get_if<ParsedRun>(&result);
  if (run == nullptr || run->cancelled || !*caught_up_) {
    emit CatchUpFailed(result);
    return;
  }
  ChangeLists(pages_, [this] { app_.AdoptFollow(std::move(*caught_up_)); });
  since_refresh_.start();
  StartWatching();
  emit CaughtUp();
}

void FollowController::StartWatching() {
  StopRefreshing();
  const bool file = watcher_->addPath(path_);
  const bool folder = watcher_->addPath(QFileInfo(path_).absolutePath());
  if (!file && !folder) timer_->start();
}

bool FollowController::Watching() const {
  return !watcher_->files().isEmpty() || !watcher_->directories().isEmpty();
}

void FollowController::Changed() {
  // A replaced log is a new file: watch it again.
  if (watcher_->files().isEmpty() && QFileInfo::exists(path_)) watcher_->addPath(path_);
  if (soon_->isActive()) return;
  soon_->start(static_cast<int>(std::max<qint64>(0, 1000 - since_refresh_.elapsed())));
}

void FollowController::Refresh() {
  if (!app_.Following()) {
    StopRefreshing();
    return;
  }
  since_refresh_.restart();
  if (append_worker_.Running()) return;
  // More than a piece of the log gained: read on the worker, as a parse.
  if (app_.FollowedBytesWaiting() > kLogReadPiece) {
    append_read_->reset();
    emit AppendReading();
    append_worker_.Start(ParseRequest{});
    return;
  }
  Adopt(app_.ReadFollowed());
}

void FollowController::AppendFinished() {
  append_worker_.TakeResult();
  emit AppendRead();
  if (*append_read_) Adopt(std::move(**append_read_));
}

std::variant<ParsedRun*, Failure> FollowController::CancelAppend() {
  // The reading stops between two pieces; what it read is kept.
  append_worker_.Abandon();
  if (*append_read_) Adopt(std::move(**append_read_));
  return Stop(/*read_rest=*/false);
}

void FollowController::Adopt(std::variant<App::FollowStep, Failure> read) {
  for (ListPage* page : pages_) page->BeginRefresh();
  const auto step = app_.AdoptFollowed(std::move(read));
  for (ListPage* page : pages_) page->EndRefresh();
  if (const auto* failure = std::get_if<Failure>(&step)) {
    emit RefreshFailed(*failure);
    return;
  }
  const App::FollowStep& done = std::get<App::FollowStep>(step);
  if (done.changed) {
    // The selected fight stays selected wherever its row went; the lists
    // stay where they were scrolled to.
    pages_[0]->SelectFromApp();
    if (done.detail_changed) pages_[1]->SelectFromApp();
    for (ListPage* page : pages_) {
      if (!done.started_over) page->RestoreScroll();
    }
  }
  emit Refreshed(done);
}

std::variant<ParsedRun*, Failure> FollowController::Stop(bool read_rest) {
  StopRefreshing();
  std::variant<ParsedRun*, Failure> stopped;
  ChangeLists(pages_, [&] { stopped = app_.StopFollowing(read_rest); });
  return stopped;
}

void FollowController::StopRefreshing() {
  timer_->stop();
  soon_->stop();
  if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
  if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
}

}  // namespace ombrel::gui
