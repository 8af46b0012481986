#pragma once

#include <array>
#include <cstdint>

#include "ChartPaths.h"

// The slots one first-round line's team stands on as it wins: Slot(1) is the line itself,
// Slot(7) the champion's slot.
class TWinnerPathItem {
 public:
  static constexpr int kRounds = ChartPaths::kRounds;

  TWinnerPathItem(int32_t region, int32_t seed, const std::array<int32_t, kRounds>& pathSlots)
      : FRegion(region), FSeed(seed), FSlots(pathSlots) {}

  int32_t Region() const { return FRegion; }
  int32_t Seed() const { return FSeed; }
  // The slot number for chart round `round`; 0 for a round outside 1..7, which names no slot.
  int32_t Slot(int round) const {
    return round >= 1 && round <= kRounds ? FSlots[static_cast<size_t>(round - 1)] : 0;
  }

 private:
  int32_t FRegion;
  int32_t FSeed;
  std::array<int32_t, kRounds> FSlots;
};
