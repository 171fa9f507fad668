#include "shared/InOrderJoin.h"

#include <utility>

namespace ombrel {

InOrderJoin::InOrderJoin(size_t count, std::function<void(size_t)> join)
    : count_(count), join_(std::move(join)), done_(count) {}

void InOrderJoin::Done(size_t k) {
  done_[k].store(true);
  JoinReady();
}

void InOrderJoin::JoinReady() {
  // A result marked ready while another thread joins is seen by that thread, or by this one once
  // the other has let go.
  for (;;) {
    std::unique_lock<std::mutex> lock(joining_, std::try_to_lock);
    if (!lock.owns_lock()) return;
    size_t next = joined_.load();
    for (; next < count_ && done_[next].load(); ++next) {
      join_(next);
      joined_.store(next + 1);
    }
    lock.unlock();
    if (next == count_ || !done_[next].load()) return;
  }
}

void InOrderJoin::Finish() {
  std::lock_guard<std::mutex> lock(joining_);
  for (size_t k = joined_.load(); k < count_; ++k) {
    join_(k);
    joined_.store(k + 1);
  }
}

}  // namespace ombrel
