#pragma once

// The outlook's two ways of spreading work over threads.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "Outlook.h"

namespace OutlookSearch {

// Runs `work(from, to)` over parts of 0..count-1 on up to `threads` threads.
template <typename TWork>
void SplitOverThreads(int threads, int64_t count, TWork work) {
  const int64_t parts = std::max<int64_t>(1, std::min<int64_t>(threads, count / 1024));
  std::vector<std::thread> pool;
  for (int64_t part = 1; part < parts; ++part)
    pool.emplace_back(work, count * part / parts, count * (part + 1) / parts);
  work(int64_t{0}, count / parts);
  for (auto& thread : pool)
    thread.join();
}

// Runs `work(worker, item)` for items 0..count-1 on `threads` threads, each item once.
template <typename TWork>
void RunOnThreads(int threads, int64_t count, TOutlookProgress& progress, TWork work) {
  std::atomic<int64_t> next{0};
  auto worker = [&](int index) {
    for (;;) {
      const int64_t item = next.fetch_add(1, std::memory_order_relaxed);
      if (item >= count || progress.Cancelled())
        return;
      if (!work(index, item))
        return;
      progress.Advance();
    }
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < threads; ++t)
    pool.emplace_back(worker, t);
  worker(0);
  for (auto& thread : pool)
    thread.join();
}

}  // namespace OutlookSearch
