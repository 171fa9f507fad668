#include "shared/StretchWriter.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "shared/InOrderJoin.h"
#include "shared/WorkerThreads.h"

namespace ombrel {

void WriteInStretches(std::ostream& out, size_t count, const StretchRender& render,
                      StretchSplit split, const Progress& progress) {
  const size_t stretch = std::max<size_t>(split.items, 1);
  const size_t stretches = (count + stretch - 1) / stretch;
  if (stretches == 0) {
    progress.Report(1.0);
    return;
  }
  const size_t threads =
      std::min<size_t>(split.threads == 0 ? MachineThreads() : split.threads, stretches);
  // Stretch k is made into texts[k % window] once stretch k - window is written.
  const size_t window = std::min(stretches, 2 * threads);
  std::vector<std::string> texts(window);
  std::mutex mutex;
  std::condition_variable written_more;
  size_t written = 0;
  std::exception_ptr failure;
  InOrderJoin join(stretches, [&](size_t k) {
    std::string& text = texts[k % window];
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    text.clear();
    {
      const std::lock_guard<std::mutex> lock(mutex);
      written = k + 1;
    }
    written_more.notify_all();
  });
  const std::thread::id caller = std::this_thread::get_id();
  WorkerThreads pool(static_cast<unsigned>(threads - 1));
  pool.Run(stretches, [&](size_t k) {
    {
      std::unique_lock<std::mutex> lock(mutex);
      written_more.wait(lock, [&] { return k < written + window; });
      if (failure) {
        lock.unlock();
        join.Done(k);
        return;
      }
    }
    if (std::this_thread::get_id() == caller)
      progress.Report(static_cast<double>(k) / static_cast<double>(stretches));
    const size_t begin = k * stretch;
    try {
      if (!progress.Cancelled()) render(texts[k % window], begin, std::min(count, begin + stretch));
    } catch (...) {
      const std::lock_guard<std::mutex> lock(mutex);
      if (!failure) failure = std::current_exception();
      texts[k % window].clear();
    }
    // Every stretch is joined, so that none waits for its room forever.
    join.Done(k);
  });
  join.Finish();
  if (failure) std::rethrow_exception(failure);
  progress.Report(1.0);
}

}  // namespace ombrel
