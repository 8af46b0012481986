#include "FinishOrder.h"

#include <algorithm>

int64_t FinishOrder::GuessDistance(int32_t guess, int32_t actual) {
  if (actual <= 0)
    return 0;
  // In 64 bits: a guess and a total anywhere in the stored range differ by more than an int
  // holds.
  const int64_t difference = int64_t{guess} - actual;
  return difference < 0 ? -difference : difference;
}

std::vector<int> FinishOrder::Rank(std::vector<TKey>& keys, bool finalPlayed) {
  std::sort(keys.begin(), keys.end(), [](const TKey& a, const TKey& b) {
    if (a.Points != b.Points)
      return a.Points > b.Points;
    if (a.Distance != b.Distance)
      return a.Distance < b.Distance;
    return a.Row < b.Row;
  });
  const auto sharePlace = [finalPlayed](const TKey& a, const TKey& b) {
    return a.Points == b.Points && (!finalPlayed || a.Distance == b.Distance);
  };
  std::vector<int> places;
  places.reserve(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) {
    places.push_back(i > 0 && sharePlace(keys[i - 1], keys[i]) ? places.back()
                                                               : static_cast<int>(i) + 1);
  }
  return places;
}
