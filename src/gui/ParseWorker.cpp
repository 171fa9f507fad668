#include "gui/ParseWorker.h"

#include <utility>

#include <QMetaObject>

namespace ombrel::gui {

ParseWorker::ParseWorker(ParseRunner runner, QObject* parent)
    : QObject(parent), runner_(std::move(runner)) {}

ParseWorker::~ParseWorker() {
  Abandon();
}

void ParseWorker::Start(ParseRequest request) {
  if (running_) return;
  running_ = true;
  cancel_ = false;
  last_percent_ = -1;
  result_.reset();
  const unsigned run = ++run_;
  thread_ = std::thread([this, run, request = std::move(request)] {
    Progress progress;
    progress.cancel = &cancel_;
    progress.stage = [this, run](int stage) {
      Post(run, [this, stage] { emit StageEntered(stage); });
    };
    progress.report = [this, run](double fraction) {
      // Only whole percents travel, so a fine-grained report cannot flood the
      // window's queue.
      const int percent = fraction <= 0   ? 0
                          : fraction >= 1 ? 100
                                          : static_cast<int>(fraction * 100);
      if (last_percent_.exchange(percent) != percent) {
        Post(run, [this, percent] { emit ProgressChanged(percent); });
      }
    };
    // An exception must not end the program from this thread: it becomes the
    // run's failure.
    try {
      result_ = runner_(request, progress);
    } catch (...) {
      result_ = WorkFailure(request.log, std::current_exception());
    }
    Post(run, [this] {
      thread_.join();
      running_ = false;
      emit Finished();
    });
  });
}

void ParseWorker::Post(unsigned run, std::function<void()> call) {
  QMetaObject::invokeMethod(
      this,
      [this, run, call = std::move(call)] {
        if (run == run_ && running_) call();
      },
      Qt::QueuedConnection);
}

void ParseWorker::Abandon() {
  if (!running_) return;
  cancel_ = true;
  thread_.join();
  running_ = false;
  result_.reset();
  ++run_;
}

std::variant<ParsedRun, Failure> ParseWorker::TakeResult() {
  std::variant<ParsedRun, Failure> result = std::move(*result_);
  result_.reset();
  return result;
}

}  // namespace ombrel::gui
