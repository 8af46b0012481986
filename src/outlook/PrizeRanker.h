#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "OutlookTally.h"
#include "OutlookWork.h"

namespace OutlookSearch {

// The `k`th highest of `count` totals as the standings rank them (k from 1; the lowest a lane
// holds when there are fewer), `best` holding the k highest meanwhile. Whoever cannot reach
// it has k players above in every outcome below, so is paid nothing and takes no paid place
// from anyone. One pass, most totals turned away by one comparison: this runs at every game.
template <typename TLane>
TLane KthLevel(const TLane* values, int count, int k, std::vector<TLane>& best) {
  best.assign(static_cast<size_t>(k), std::numeric_limits<TLane>::min());
  TLane* top = best.data();
  for (int c = 0; c < count; ++c) {
    const TLane value = Level(values[c]);
    if (value <= top[k - 1])
      continue;
    int at = k - 1;
    for (; at > 0 && top[at - 1] < value; --at)
      top[at] = top[at - 1];
    top[at] = value;
  }
  return top[k - 1];
}

// What each contender is paid in one outcome. Only the contenders are ranked: anyone paid has
// fewer players above than places paid, and those above are contenders as well. Players level
// on points share the prizes of the places they span, the odd cent to the first of them in the
// player file, as Prizes::Share pays them.
template <typename TLane>
class TPrizeRanker {
 public:
  struct TPaidOne {
    int Id;
    int64_t Cents;
  };

  // `ids`: the contenders' places among the contenders, ascending; `values`: their totals.
  // `paidUpTo[k]`: what the first k places pay together, for k up to the places paid. Who is
  // paid what goes to `paidOut` as well, when given.
  void Add(const int* ids, const TLane* values, int count, double weight,
           const std::vector<int64_t>& paidUpTo, TTally& tally,
           std::vector<TPaidOne>* paidOut = nullptr) {
    const int paid = static_cast<int>(paidUpTo.size()) - 1;
    FOrder.clear();
    for (int c = 0; c < count; ++c)
      FOrder.push_back({static_cast<int64_t>(Level(values[c])), ids[c]});
    const auto before = [](const TEntry& a, const TEntry& b) {
      return a.Value != b.Value ? a.Value > b.Value : a.Id < b.Id;
    };
    auto top = FOrder.end();
    if (count > paid) {
      // The paid places and whoever is level with the last of them, in order.
      const auto last = FOrder.begin() + (paid - 1);
      std::nth_element(FOrder.begin(), last, FOrder.end(), before);
      const int64_t cut = last->Value;
      top = std::partition(last + 1, FOrder.end(), [cut](const TEntry& e) { return e.Value == cut; });
    }
    std::sort(FOrder.begin(), top, before);
    const int ranked = static_cast<int>(top - FOrder.begin());
    for (int first = 0; first < std::min(ranked, paid);) {
      int end = first + 1;
      while (end < ranked && FOrder[static_cast<size_t>(end)].Value ==
                                 FOrder[static_cast<size_t>(first)].Value)
        ++end;
      const int64_t level = end - first;
      const int64_t total = paidUpTo[static_cast<size_t>(std::min(end, paid))] -
                            paidUpTo[static_cast<size_t>(first)];
      for (int k = first; k < end; ++k) {
        const size_t id = static_cast<size_t>(FOrder[static_cast<size_t>(k)].Id);
        const int64_t cents = total / level + (k == first ? total % level : 0);
        tally.Prize[id] += weight * static_cast<double>(cents);
        tally.Paid[id] += weight;
        if (paidOut)
          paidOut->push_back({static_cast<int>(id), cents});
      }
      first = end;
    }
  }

 private:
  struct TEntry {
    int64_t Value;
    int Id;
  };
  std::vector<TEntry> FOrder;
};

}  // namespace OutlookSearch
