#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <vector>

#include "OutlookPlan.h"
#include "OutlookTally.h"
#include "PrizeRanker.h"
#include "Ranker.h"

namespace OutlookSearch {

// A small, fast generator whose stream is fixed by its seed, so a sampled run repeats.
class TSplitMix {
 public:
  explicit TSplitMix(uint64_t seed) : FState(seed) {}
  uint64_t Next() {
    uint64_t z = (FState += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

 private:
  uint64_t FState;
};

// One worker drawing outcomes: each game's winner by the model's chance, every player ranked.
template <typename TLane>
class TSampler {
 public:
  TSampler(const TPlan<TLane>& plan, TTally& tally, int64_t samples)
      : P(plan), FTally(tally), FSamples(samples) {
    FTotals.resize(P.AllStride);
    FIds.resize(static_cast<size_t>(P.Count));
    std::iota(FIds.begin(), FIds.end(), 0);
  }

  void RunBlock(int64_t block) {
    // Each block has a stream of its own, so the draws do not depend on the threads.
    TSplitMix random(P.Options.RandomSeed ^ (static_cast<uint64_t>(block) * 0xd1b54a32d192ed03ull));
    const int64_t first = block * kSampleBlock;
    const int64_t last = std::min<int64_t>(first + kSampleBlock, FSamples);
    for (int64_t s = first; s < last; ++s)
      Draw(random);
  }

 private:
  void Draw(TSplitMix& random) {
    std::array<int32_t, kSlots + 1> occ = P.In.Occupant;
    std::copy(P.AllBase.begin(), P.AllBase.end(), FTotals.begin());
    for (int g = 0; g < P.GameCount; ++g) {
      const TGame& game = P.In.Games[static_cast<size_t>(g)];
      const std::array<int32_t, 2> teams = {occ[static_cast<size_t>(game.Feeder[0])],
                                            occ[static_cast<size_t>(game.Feeder[1])]};
      const int side = game.Real && random.Uniform() >= P.Chance(teams, 0) ? 1 : 0;
      occ[static_cast<size_t>(game.Slot)] = teams[static_cast<size_t>(side)];
      AddRow(FTotals.data(), FTotals.data(), P.AllGainRow(g, game, teams, side), P.Players);
    }
    TLane top = std::numeric_limits<TLane>::min();
    for (int i = 0; i < P.Players; ++i)
      top = std::max(top, Level(FTotals[static_cast<size_t>(i)]));
    // Whoever is first is a contender: no other player reaches the best sure total.
    FFirst.clear();
    for (int i = 0; i < P.Players; ++i) {
      if (Level(FTotals[static_cast<size_t>(i)]) == top)
        FFirst.push_back(P.ContenderOf[static_cast<size_t>(i)]);
    }
    uint32_t sides = 0;
    for (size_t j = 0; j < P.RootingGames.size(); ++j) {
      const TGame& game = P.In.Games[static_cast<size_t>(P.RootingGames[j])];
      const size_t side =
          occ[static_cast<size_t>(game.Slot)] == occ[static_cast<size_t>(game.Feeder[0])] ? 0 : 1;
      FTally.RootingWeight[j * 2 + side] += 1.0;
      sides |= static_cast<uint32_t>(side) << j;
    }
    if (!FFirst.empty())
      FTally.AddDrawn(FFirst, P.ChampionOn(occ), sides);
    FRanker.PlaceAll(FTotals.data(), P.Players, FTally);
    if (P.Paid > 0) {
      FValues.resize(static_cast<size_t>(P.Count));
      for (size_t c = 0; c < FValues.size(); ++c)
        FValues[c] = FTotals[static_cast<size_t>(P.Contenders[c])];
      FPaid.clear();
      FPrizes.Add(FIds.data(), FValues.data(), P.Count, 1.0, P.PaidUpTo, FTally, &FPaid);
      for (const auto& [id, cents] : FPaid)
        FTally.PrizeSquares[static_cast<size_t>(id)] +=
            static_cast<double>(cents) * static_cast<double>(cents);
      const bool rooting = !FTally.RootingPrize.empty();
      for (size_t j = 0; j < P.RootingGames.size() && rooting; ++j) {
        const size_t row = (j * 2 + ((sides >> j) & 1)) * static_cast<size_t>(P.Count);
        for (const auto& [id, cents] : FPaid) {
          const double prize = static_cast<double>(cents);
          FTally.RootingPrize[row + static_cast<size_t>(id)] += prize;
          FTally.RootingSquares[row + static_cast<size_t>(id)] += prize * prize;
        }
      }
    }
  }

  const TPlan<TLane>& P;
  TTally& FTally;
  const int64_t FSamples;
  std::vector<TLane> FTotals;
  std::vector<int> FFirst;
  TRanker<TLane> FRanker;
  TPrizeRanker<TLane> FPrizes;
  // The contenders, by their places among them, and their totals.
  std::vector<int> FIds;
  std::vector<TLane> FValues;
  std::vector<typename TPrizeRanker<TLane>::TPaidOne> FPaid;
};

}  // namespace OutlookSearch
