#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

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

}  // namespace
}  // namespace ombrel
