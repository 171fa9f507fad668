#pragma once

#include <functional>

#include <QObject>

class QSocketNotifier;

namespace ombrel::gui {

// The end of a session (SIGTERM at a logout, SIGINT from a terminal) met as
// a close of the window: its state is saved, then the program ends with 128
// plus the signal's number. The signal's handler only notes it (removing the
// temporary files and cancelling any file write under way, see
// shared/Interrupt.h) and wakes this object through a pipe, so that the
// saving happens on the window's thread.
class SessionEnd : public QObject {
  Q_OBJECT

 public:
  // `save` keeps what the window remembers; `end` ends the program with the
  // exit code given (by default at once, without unwinding).
  explicit SessionEnd(std::function<void()> save, std::function<void(int)> end = {},
                      QObject* parent = nullptr);
  // The signals end the program at once again.
  ~SessionEnd() override;
  SessionEnd(const SessionEnd&) = delete;
  SessionEnd& operator=(const SessionEnd&) = delete;

 private:
  void Answer();

  std::function<void()> save_;
  std::function<void(int)> end_;
  int pipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace ombrel::gui
