#include "shared/WorkerThreads.h"

#include <utility>

namespace ombrel {

WorkerThreads::WorkerThreads(unsigned helpers) {
  threads_.reserve(helpers);
  for (unsigned k = 0; k < helpers; ++k) threads_.emplace_back([this] { Help(); });
}

WorkerThreads::~WorkerThreads() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void WorkerThreads::Run(size_t count, const std::function<void(size_t)>& job) {
  std::unique_lock<std::mutex> lock(mutex_);
  job_ = &job;
  count_ = count;
  next_ = 0;
  failure_ = nullptr;
  ++round_;
  if (!threads_.empty() && count > 1) wake_.notify_all();
  TakeJobs(lock);
  done_.wait(lock, [this] { return next_ == count_ && running_ == 0; });
  job_ = nullptr;
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void WorkerThreads::TakeJobs(std::unique_lock<std::mutex>& lock) {
  while (next_ < count_) {
    const size_t k = next_++;
    ++running_;
    lock.unlock();
    std::exception_ptr failure;
    try {
      (*job_)(k);
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    --running_;
    if (failure && !failure_) failure_ = failure;
  }
  if (running_ == 0) done_.notify_all();
}

void WorkerThreads::Help() {
  std::unique_lock<std::mutex> lock(mutex_);
  unsigned seen = round_;
  for (;;) {
    wake_.wait(lock, [&] { return stopping_ || (round_ != seen && next_ < count_); });
    if (stopping_) return;
    seen = round_;
    TakeJobs(lock);
  }
}

unsigned MachineThreads() {
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : n;
}

}  // namespace ombrel
