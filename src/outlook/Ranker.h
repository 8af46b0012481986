#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "OutlookTally.h"
#include "OutlookWork.h"

namespace OutlookSearch {

// Every player's place in one outcome: by counting totals when they lie close together, by
// sorting them otherwise.
template <typename TLane>
class TRanker {
 public:
  void PlaceAll(const TLane* totals, int players, TTally& tally) {
    if (players == 0)
      return;
    const size_t n = static_cast<size_t>(players);
    int64_t low = std::numeric_limits<int64_t>::max();
    int64_t high = std::numeric_limits<int64_t>::min();
    for (size_t i = 0; i < n; ++i) {
      low = std::min<int64_t>(low, Level(totals[i]));
      high = std::max<int64_t>(high, Level(totals[i]));
    }
    if (high - low <= static_cast<int64_t>(4 * n + 1024)) {
      // FAbove[v]: how many totals exceed low + v.
      FAbove.assign(static_cast<size_t>(high - low) + 1, 0);
      for (size_t i = 0; i < n; ++i)
        ++FAbove[static_cast<size_t>(Level(totals[i]) - low)];
      int running = 0;
      for (size_t v = FAbove.size(); v-- > 0;) {
        const int here = FAbove[v];
        FAbove[v] = running;
        running += here;
      }
      for (size_t i = 0; i < n; ++i)
        tally.AddPlace(static_cast<int>(i),
                       1 + FAbove[static_cast<size_t>(Level(totals[i]) - low)]);
      return;
    }
    FOrder.clear();
    for (size_t i = 0; i < n; ++i)
      FOrder.push_back(Level(totals[i]));
    std::sort(FOrder.begin(), FOrder.end());
    for (size_t i = 0; i < n; ++i) {
      const auto above = FOrder.end() - std::upper_bound(FOrder.begin(), FOrder.end(),
                                                         static_cast<int64_t>(Level(totals[i])));
      tally.AddPlace(static_cast<int>(i), 1 + static_cast<int>(above));
    }
  }

 private:
  std::vector<int> FAbove;
  std::vector<int64_t> FOrder;
};

}  // namespace OutlookSearch
