#include "gui/FollowController.h"

#include <utility>

#include <QTimer>

#include "gui/ListPage.h"

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
      }) {
  timer_ = new QTimer(this);
  timer_->setObjectName(QStringLiteral("followTimer"));
  timer_->setInterval(1000);  // at most once a second
  connect(timer_, &QTimer::timeout, this, &FollowController::RefreshDue);
  connect(&worker_, &ParseWorker::ProgressChanged, this, &FollowController::ProgressChanged);
  connect(&worker_, &ParseWorker::Finished, this, &FollowController::CatchUpFinished);
}

FollowController::~FollowController() {
  worker_.Abandon();
}

void FollowController::CatchUp(ParseRequest request) {
  caught_up_->reset();
  worker_.Start(std::move(request));
}

void FollowController::Abandon() {
  worker_.Abandon();
}

void FollowController::CatchUpFinished() {
  const std::variant<ParsedRun, Failure> result = worker_.TakeResult();
  const auto* run = std::get_if<ParsedRun>(&result);
  if (run == nullptr || run->cancelled || !*caught_up_) {
    emit CatchUpFailed(result);
    return;
  }
  ChangeLists(pages_, [this] { app_.AdoptFollow(std::move(*caught_up_)); });
  timer_->start();
  emit CaughtUp();
}

void FollowController::Refresh() {
  if (!app_.Following()) {
    timer_->stop();
    return;
  }
  for (ListPage* page : pages_) page->BeginRefresh();
  const auto step = app_.RefreshFollow();
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

std::variant<ParsedRun*, Failure> FollowController::Stop() {
  timer_->stop();
  std::variant<ParsedRun*, Failure> stopped;
  ChangeLists(pages_, [&] { stopped = app_.StopFollowing(); });
  return stopped;
}

void FollowController::StopRefreshing() {
  timer_->stop();
}

}  // namespace ombrel::gui
