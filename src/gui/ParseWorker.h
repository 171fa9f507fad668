#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <variant>

#include <QObject>

#include "app/App.h"

namespace ombrel::gui {

// Both parse stages as the window runs them.
using ParseRunner =
    std::function<std::variant<ParsedRun, Failure>(const ParseRequest&, const Progress&)>;

// Runs one parse at a time on a thread of its own so that the window keeps
// painting. Progress arrives on the window's thread as signals; the result is
// collected there once Finished is emitted.
class ParseWorker : public QObject {
  Q_OBJECT

 public:
  explicit ParseWorker(ParseRunner runner, QObject* parent = nullptr);
  // Stops a running parse and waits for it.
  ~ParseWorker() override;

  bool Running() const { return running_; }
  // Starts the parse; not while one is running.
  void Start(ParseRequest request);
  // Asks a running parse to stop, waits for its thread and forgets it: no
  // Finished follows.
  void Abandon();
  // The outcome, once after Finished.
  std::variant<ParsedRun, Failure> TakeResult();

 signals:
  void StageEntered(int stage);
  void ProgressChanged(int percent);
  void Finished();

 private:
  // On the worker thread: hands a call to the window's thread, where it is
  // dropped unless its run is still the current one.
  void Post(unsigned run, std::function<void()> call);

  ParseRunner runner_;
  std::thread thread_;
  std::atomic<bool> cancel_{false};
  std::atomic<int> last_percent_{-1};
  std::optional<std::variant<ParsedRun, Failure>> result_;
  unsigned run_ = 0;  // numbers the runs so that an abandoned one stays silent
  bool running_ = false;
};

}  // namespace ombrel::gui
