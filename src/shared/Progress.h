#pragma once

#include <atomic>
#include <functional>

namespace ombrel {

// How long work reports how far it got and learns that it should stop.
// Both parts are optional; work checks Cancelled() now and then and returns
// early when it is set.
struct Progress {
  std::function<void(double fraction)> report;
  // Called when long work enters its next stage (1, 2, ...).
  std::function<void(int stage)> stage;
  const std::atomic<bool>* cancel = nullptr;

  void Report(double fraction) const {
    if (report) report(fraction);
  }
  void Stage(int number) const {
    if (stage) stage(number);
  }
  bool Cancelled() const { return cancel != nullptr && cancel->load(std::memory_order_relaxed); }
};

}  // namespace ombrel
