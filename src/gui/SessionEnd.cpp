#include "gui/SessionEnd.h"

#include <fcntl.h>
#include <unistd.h>

#include <utility>

#include <QSocketNotifier>

#include "shared/Interrupt.h"

namespace ombrel::gui {

SessionEnd::SessionEnd(std::function<void()> save, std::function<void(int)> end, QObject* parent)
    : QObject(parent), save_(std::move(save)), end_(std::move(end)) {
  // Without a pipe the signals keep ending the program at once.
  if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SessionEnd::Answer);
  EndThroughOnInterrupt(pipe_[1]);
}

SessionEnd::~SessionEnd() {
  if (notifier_ == nullptr) return;
  RemoveTemporariesOnInterrupt();
  delete notifier_;
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void SessionEnd::Answer() {
  char bytes[16];
  while (::read(pipe_[0], bytes, sizeof bytes) > 0) {
  }
  const int signal_number = AnswerInterrupt();
  if (signal_number == 0) return;
  notifier_->setEnabled(false);
  save_();
  if (end_) {
    end_(128 + signal_number);
  } else {
    EndInterrupted();
  }
}

}  // namespace ombrel::gui
