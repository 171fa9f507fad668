#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace ombrel {

// A few threads kept for the life of the object that share out numbered jobs
// with the thread that hands them over.
class WorkerThreads {
 public:
  // `helpers` threads besides the caller's; 0 runs every job on the caller.
  explicit WorkerThreads(unsigned helpers);
  ~WorkerThreads();
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;

  // Runs job(k) for every k in [0, count), each once, on the helpers and the
  // calling thread, and returns when all have ended. The first exception a
  // job throws is thrown again here once every job has ended.
  void Run(size_t count, const std::function<void(size_t)>& job);

  unsigned helpers() const { return static_cast<unsigned>(threads_.size()); }

 private:
  void Help();
  // Takes jobs of the current round until none is left.
  void TakeJobs(std::unique_lock<std::mutex>& lock);

  std::mutex mutex_;
  std::condition_variable wake_;  // a round began, or the object goes away
  std::condition_variable done_;  // the last job of a round ended
  const std::function<void(size_t)>* job_ = nullptr;
  size_t count_ = 0;
  size_t next_ = 0;
  size_t running_ = 0;
  unsigned round_ = 0;
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::vector<std::thread> threads_;
};

// Threads the machine runs at once (at least 1).
unsigned MachineThreads();

}  // namespace ombrel
