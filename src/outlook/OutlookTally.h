#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace OutlookSearch {

// The tallies of one worker. What each player wins is kept for the contenders only, the
// players who can still finish first, by their place among them; places are kept for every
// player.
struct TTally {
  int Count = 0;      // contenders
  int Champions = 0;  // teams that can still be champion
  std::vector<double> Won, Tied, Share;
  // Only when the pool pays prizes, per contender: the prize in cents times the weight of
  // each outcome, and the weight of the outcomes in which the contender is paid.
  std::vector<double> Prize, Paid;
  // When sampling with prizes, per contender: the sum of the squared prizes of the draws.
  std::vector<double> PrizeSquares;
  std::vector<double> Champion;       // contender * Champions + champion; every outcome visited
  std::vector<int> Best, Worst;       // per player
  std::vector<double> Rooting;        // (game * 2 + side) * Count + contender; visited
  std::vector<double> RootingWeight;  // game * 2 + side; counted only when sampling
  // With prizes, laid out as Rooting: the prize in cents times the weight of each outcome in
  // which that side won, and when sampling the sum of the squared prizes too.
  std::vector<double> RootingPrize, RootingSquares;
  // When sampling, one entry for each contender first in a draw, with the draw's champion and
  // the side each rooting game went to (bit j for game j): what draws make of champions and
  // of the rooting guide is worked out from these at the end, since a million contenders by
  // every champion and every rooting game would not fit.
  struct TDrawn {
    int32_t Contender;
    int32_t Champion;  // -1: none
    uint32_t Sides;
    double Share;
  };
  std::vector<TDrawn> Drawn;

  // `rootingPrizes`: the rooting guide goes by prizes.
  void Init(int count, int players, int champions, int rootingGames, bool sampled, bool prizes,
            bool rootingPrizes) {
    Count = count;
    Champions = champions;
    const size_t n = static_cast<size_t>(count);
    Won.assign(n, 0);
    Tied.assign(n, 0);
    Share.assign(n, 0);
    if (prizes) {
      Prize.assign(n, 0);
      Paid.assign(n, 0);
      if (sampled)
        PrizeSquares.assign(n, 0);
    }
    Best.assign(static_cast<size_t>(players), std::numeric_limits<int>::max());
    Worst.assign(static_cast<size_t>(players), 0);
    RootingWeight.assign(static_cast<size_t>(rootingGames) * 2, 0);
    if (rootingPrizes) {
      RootingPrize.assign(static_cast<size_t>(rootingGames) * 2 * n, 0);
      if (sampled)
        RootingSquares.assign(RootingPrize.size(), 0);
    }
    if (!sampled) {
      Champion.assign(n * static_cast<size_t>(champions), 0);
      Rooting.assign(static_cast<size_t>(rootingGames) * 2 * n, 0);
    }
  }

  void Add(const TTally& other) {
    auto sum = [](std::vector<double>& to, const std::vector<double>& from) {
      for (size_t i = 0; i < to.size(); ++i)
        to[i] += from[i];
    };
    sum(Won, other.Won);
    sum(Tied, other.Tied);
    sum(Share, other.Share);
    sum(Prize, other.Prize);
    sum(Paid, other.Paid);
    sum(PrizeSquares, other.PrizeSquares);
    sum(Champion, other.Champion);
    sum(Rooting, other.Rooting);
    sum(RootingWeight, other.RootingWeight);
    sum(RootingPrize, other.RootingPrize);
    sum(RootingSquares, other.RootingSquares);
    Drawn.insert(Drawn.end(), other.Drawn.begin(), other.Drawn.end());
    for (size_t i = 0; i < Best.size(); ++i) {
      Best[i] = std::min(Best[i], other.Best[i]);
      Worst[i] = std::max(Worst[i], other.Worst[i]);
    }
  }

  // The contenders first in one outcome, of weight `weight`, with `champion` (-1: none).
  void AddFirst(const std::vector<int>& first, int champion, double weight) {
    const double share = weight / static_cast<double>(first.size());
    for (const int c : first) {
      (first.size() == 1 ? Won : Tied)[static_cast<size_t>(c)] += weight;
      Share[static_cast<size_t>(c)] += share;
      if (champion >= 0)
        Champion[static_cast<size_t>(c) * static_cast<size_t>(Champions) +
                 static_cast<size_t>(champion)] += weight;
    }
  }

  // The contenders first in one draw, its champion and the sides of its rooting games.
  void AddDrawn(const std::vector<int>& first, int champion, uint32_t sides) {
    const double share = 1.0 / static_cast<double>(first.size());
    for (const int c : first) {
      (first.size() == 1 ? Won : Tied)[static_cast<size_t>(c)] += 1;
      Share[static_cast<size_t>(c)] += share;
      Drawn.push_back({c, champion, sides, share});
    }
  }

  void AddPlace(int player, int place) {
    int& best = Best[static_cast<size_t>(player)];
    int& worst = Worst[static_cast<size_t>(player)];
    best = std::min(best, place);
    worst = std::max(worst, place);
  }
};

}  // namespace OutlookSearch
