#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

namespace ombrel {

// Joins the results of numbered jobs in their order while the jobs end in any order, on any
// thread: a job that ends says so (Done), and whichever thread is free joins every result that is
// ready next, while the others go on with their jobs. Each result is joined once, one at a time.
class InOrderJoin {
 public:
  // `join(k)` joins result k; it is called for k = 0, 1, ... count - 1 in turn.
  InOrderJoin(size_t count, std::function<void(size_t)> join);

  // Job k has ended: joins what is ready unless another thread is joining, in which case that
  // thread, or this one after it lets go, joins it.
  void Done(size_t k);

  // Once every job has ended: joins whatever is not joined yet.
  void Finish();

 private:
  void JoinReady();

  const size_t count_;
  const std::function<void(size_t)> join_;
  std::vector<std::atomic<bool>> done_;
  std::atomic<size_t> joined_{0};  // results [0, joined_) are joined
  std::mutex joining_;
};

}  // namespace ombrel
