#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <numeric>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

#include "shared/InOrderJoin.h"
#include "shared/WorkerThreads.h"

namespace ombrel {
namespace {

TEST(WorkerThreads, EveryJobRunsOnceAndTheFirstFailureComesBack) {
  for (const unsigned helpers : {0u, 1u, 6u}) {
    WorkerThreads workers(helpers);
    EXPECT_EQ(workers.helpers(), helpers);
    for (const size_t count : {size_t{0}, size_t{1}, size_t{3}, size_t{100}}) {
      // Rounds follow each other on the same threads.
      for (int round = 0; round < 20; ++round) {
        std::vector<std::atomic<int>> runs(count);
        workers.Run(count, [&](size_t k) { ++runs[k]; });
        for (size_t k = 0; k < count; ++k) ASSERT_EQ(runs[k].load(), 1) << k;
      }
    }
    std::atomic<int> ended{0};
    EXPECT_THROW(workers.Run(10,
                             [&](size_t k) {
                               if (k % 3 == 1) throw std::runtime_error("job");
                               ++ended;
                             }),
                 std::runtime_error);
    EXPECT_EQ(ended.load(), 7);  // the other jobs still ran
    workers.Run(2, [&](size_t) { ++ended; });
    EXPECT_EQ(ended.load(), 9);
  }
}

TEST(InOrderJoin, JoinsEachOnceInOrderWhateverOrderTwoThreadsEndTheJobsIn) {
  for (unsigned seed = 0; seed < 60; ++seed) {
    const size_t count = 1 + seed % 20 * 7;
    std::vector<size_t> ends(count);
    std::iota(ends.begin(), ends.end(), size_t{0});
    std::shuffle(ends.begin(), ends.end(), std::mt19937(seed));
    std::vector<size_t> joined;  // joins run one at a time
    InOrderJoin joins(count, [&](size_t k) {
      std::this_thread::yield();  // time for the other thread to end a job meanwhile
      joined.push_back(k);
    });
    std::atomic<size_t> next{0};
    auto end_jobs = [&] {
      for (size_t i = next++; i < count; i = next++) joins.Done(ends[i]);
    };
    std::thread other(end_jobs);
    end_jobs();
    other.join();
    std::vector<size_t> in_order(count);
    std::iota(in_order.begin(), in_order.end(), size_t{0});
    // Every job has said it ended: nothing is left for Finish.
    ASSERT_EQ(joined, in_order) << seed;
    joins.Finish();
    ASSERT_EQ(joined, in_order) << seed;
  }
}

}  // namespace
}  // namespace ombrel
