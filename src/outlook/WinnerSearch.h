#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <type_traits>
#include <vector>

#include "EndGame.h"
#include "OutlookPlan.h"
#include "OutlookTally.h"
#include "PrizeRanker.h"
#include "Ranker.h"

namespace OutlookSearch {

// One worker's depth-first walk over every outcome of its tasks. It carries only the players
// who can still finish first below the current outcome, each with a total and the lowest and
// highest total still open to them; after every game those whose highest falls short of the
// best lowest drop out, so the last games are played among a handful of players. When the run
// ranks everyone at every outcome, every player's total is carried in full lanes as well.
template <typename TLane>
class TWinnerSearch {
 public:
  TWinnerSearch(const TPlan<TLane>& plan, TTally& tally, const TOutlookProgress& progress)
      : P(plan), FTally(tally), FProgress(progress), FWhole(plan.Count <= kWholeContenders) {
    const size_t depths = static_cast<size_t>(P.GameCount + 1);
    const size_t n = static_cast<size_t>(P.Count);
    if (P.Way.RankAll)
      FTotals.resize(depths * P.AllStride);
    FIds.resize(depths * n);
    FValue.resize(depths * n);
    FLo.resize(depths * n);
    FHi.resize(depths * n);
    FRoot.resize(P.Stride);
    FRootLo.resize(P.Stride);
    FRootHi.resize(P.Stride);
    FCount.resize(depths);
    if (FWhole) {
      FPickedIds.resize(n);
      FPickedValues.resize(n);
    }
    FShareBefore.resize(n);
    FPrizeBefore.resize(FTally.RootingPrize.empty() ? 0 : n);
    if constexpr (std::is_same_v<TLane, int16_t>) {
      if (P.EndDepth < P.GameCount)
        FEndGame = std::make_unique<TEndGame>(P);
    }
  }

  // Plays the task's outcome of the first games, then everything below it. False when
  // cancelled.
  bool RunTask(int64_t task) {
    FOcc = P.In.Occupant;
    std::copy(P.Base.begin(), P.Base.end(), FRoot.begin());
    if (P.Way.RankAll)
      std::copy(P.AllBase.begin(), P.AllBase.end(), Totals(0));
    double weight = 1.0;
    int bit = 0;
    for (int d = 0; d < P.TaskDepth; ++d) {
      const TGame& game = P.In.Games[static_cast<size_t>(d)];
      const int side = game.Real ? static_cast<int>((task >> bit++) & 1) : 0;
      const std::array<int32_t, 2> teams = Teams(game);
      const int32_t winner = teams[static_cast<size_t>(side)];
      FOcc[static_cast<size_t>(game.Slot)] = winner;
      AddRow(FRoot.data(), FRoot.data(), P.At(P.Gain, P.WinRow(d, game, teams, side)), P.Count);
      if (P.Way.RankAll)
        AddRow(Totals(d + 1), Totals(d), P.AllGainRow(d, game, teams, side), P.Players);
      if (game.Real)
        weight *= P.Chance(teams, side);
    }
    // The contenders' bounds at the task's root, then those who can still finish first.
    std::copy(FRoot.begin(), FRoot.end(), FRootLo.begin());
    std::copy(FRoot.begin(), FRoot.end(), FRootHi.begin());
    for (size_t a = 0; a < P.TaskAlive.size(); ++a) {
      const int team = FOcc[static_cast<size_t>(P.TaskAlive[a])];
      AddRow(FRootLo.data(), FRootLo.data(), P.Row(P.MinGain, team, P.TaskAliveRounds[a]), P.Count);
      AddRow(FRootHi.data(), FRootHi.data(), P.Row(P.MaxGain, team, P.TaskAliveRounds[a]), P.Count);
    }
    const size_t n = static_cast<size_t>(P.Count);
    const size_t at = static_cast<size_t>(P.TaskDepth) * n;
    int count = 0;
    if (FWhole) {
      std::copy(FRoot.begin(), FRoot.begin() + P.Count, FValue.begin() + at);
      std::copy(FRootLo.begin(), FRootLo.begin() + P.Count, FLo.begin() + at);
      std::copy(FRootHi.begin(), FRootHi.begin() + P.Count, FHi.begin() + at);
      count = P.Count;
    } else {
      const TLane sure = Sure(FRootLo.data(), P.Count);
      for (size_t c = 0; c < n; ++c) {
        if (Level(FRootHi[c]) < sure)
          continue;
        const size_t k = at + static_cast<size_t>(count++);
        FIds[k] = static_cast<int>(c);
        FValue[k] = FRoot[c];
        FLo[k] = FRootLo[c];
        FHi[k] = FRootHi[c];
      }
    }
    FCount[static_cast<size_t>(P.TaskDepth)] = count;
    // Ranking every player needs every outcome below, even one no contender can win.
    if (count > 0 || P.Way.RankAll)
      Walk(P.TaskDepth, weight);
    return !FStop;
  }

 private:
  // Every player's totals at `depth`, where every player is ranked.
  TLane* Totals(int depth) { return FTotals.data() + static_cast<size_t>(depth) * P.AllStride; }

  std::array<int32_t, 2> Teams(const TGame& game) const {
    return {FOcc[static_cast<size_t>(game.Feeder[0])], FOcc[static_cast<size_t>(game.Feeder[1])]};
  }

  void Walk(int depth, double weight) {
    if (depth == P.SnapDepth && !FSnapped) {
      Snapshot(depth, weight);
      return;
    }
    if (depth == P.GameCount) {
      Outcome(weight);
      return;
    }
    if constexpr (std::is_same_v<TLane, int16_t>) {
      if (depth == P.EndDepth) {
        if (const TCarried carried = Carried(depth); carried.Count > 0)
          FEndGame->Play(FOcc, carried.Ids, carried.Values, carried.Count, weight, FTally);
        return;
      }
    }
    if (FProgress.Cancelled()) {
      FStop = true;
      return;
    }
    const TGame& game = P.In.Games[static_cast<size_t>(depth)];
    const std::array<int32_t, 2> teams = Teams(game);
    for (int side = 0; side < (game.Real ? 2 : 1) && !FStop; ++side) {
      const int32_t winner = teams[static_cast<size_t>(side)];
      FOcc[static_cast<size_t>(game.Slot)] = winner;
      Step(depth, P.WinRow(depth, game, teams, side),
           game.Real ? teams[static_cast<size_t>(1 - side)] : -1, game.Round);
      if (P.Way.RankAll)
        AddRow(Totals(depth + 1), Totals(depth), P.AllGainRow(depth, game, teams, side), P.Players);
      Walk(depth + 1, game.Real ? weight * P.Chance(teams, side) : weight);
    }
  }

  // The contenders after the win of row `won` (TPlan::WinRow) over `loser` (-1: none) into
  // `round`: totals and bounds moved, then those who can no longer reach the best sure total
  // left out (see FWhole).
  void Step(int depth, int won, int32_t loser, int round) {
    const size_t n = static_cast<size_t>(P.Count);
    const size_t from = static_cast<size_t>(depth) * n;
    const size_t to = from + n;
    const int count = FCount[static_cast<size_t>(depth)];
    const TLane* gain = P.At(P.Gain, won);
    const TLane* winLo = P.At(P.WinLo, won);
    const TLane* winHi = P.At(P.WinHi, won);
    const TLane* loseLo = loser >= 0 ? P.Row(P.LoseLo, loser, round) : P.Zero.data();
    const TLane* loseHi = loser >= 0 ? P.Row(P.LoseHi, loser, round) : P.Zero.data();
    if (FWhole) {
      AddRow(FValue.data() + to, FValue.data() + from, gain, count);
      AddRows(FLo.data() + to, FLo.data() + from, winLo, loseLo, count);
      AddRows(FHi.data() + to, FHi.data() + from, winHi, loseHi, count);
      FCount[static_cast<size_t>(depth + 1)] = count;
      return;
    }
    TLane sure = std::numeric_limits<TLane>::min();
    for (int c = 0; c < count; ++c) {
      const int i = FIds[from + static_cast<size_t>(c)];
      const size_t k = to + static_cast<size_t>(c);
      FValue[k] = static_cast<TLane>(FValue[from + static_cast<size_t>(c)] + gain[i]);
      FLo[k] = static_cast<TLane>(FLo[from + static_cast<size_t>(c)] + winLo[i] + loseLo[i]);
      FHi[k] = static_cast<TLane>(FHi[from + static_cast<size_t>(c)] + winHi[i] + loseHi[i]);
      sure = std::max(sure, Level(FLo[k]));
    }
    if (P.Paid > 1 && count > 0)
      sure = Sure(&FLo[to], count);
    int kept = 0;
    for (int c = 0; c < count; ++c) {
      const size_t k = to + static_cast<size_t>(c);
      if (Level(FHi[k]) < sure)
        continue;
      const size_t j = to + static_cast<size_t>(kept++);
      FIds[j] = FIds[from + static_cast<size_t>(c)];
      FValue[j] = FValue[k];
      FLo[j] = FLo[k];
      FHi[j] = FHi[k];
    }
    FCount[static_cast<size_t>(depth + 1)] = kept;
  }

  // The best total some player is sure of, or with prizes the lowest of the best sure totals
  // as many players as places are paid: whoever falls short of it is out of the running.
  TLane Sure(const TLane* lows, int count) {
    TLane sure = std::numeric_limits<TLane>::min();
    if (P.Paid > 1)
      return KthLevel(lows, count, P.Paid, FScratch);
    for (int c = 0; c < count; ++c)
      sure = std::max(sure, Level(lows[c]));
    return sure;
  }

  // Below the depth where every game of the next round is decided, the shares won (and the
  // prizes, where the guide goes by them) are credited to the sides those games went to.
  void Snapshot(int depth, double weight) {
    const size_t n = static_cast<size_t>(P.Count);
    std::copy(FTally.Share.begin(), FTally.Share.end(), FShareBefore.begin());
    if (!FPrizeBefore.empty())
      std::copy(FTally.Prize.begin(), FTally.Prize.end(), FPrizeBefore.begin());
    FSnapped = true;
    Walk(depth, weight);
    FSnapped = false;
    std::array<size_t, 64> rows{};
    for (size_t j = 0; j < P.RootingGames.size(); ++j) {
      const TGame& game = P.In.Games[static_cast<size_t>(P.RootingGames[j])];
      const size_t side =
          FOcc[static_cast<size_t>(game.Slot)] == FOcc[static_cast<size_t>(game.Feeder[0])] ? 0 : 1;
      rows[j] = (j * 2 + side) * n;
    }
    // What each contender gained below, `now` against `before`, to every side gone to.
    const auto credit = [&](const std::vector<double>& now, const std::vector<double>& before,
                            std::vector<double>& sides) {
      for (size_t i = 0; i < before.size(); ++i) {
        const double gained = now[i] - before[i];
        if (gained == 0)
          continue;
        for (size_t j = 0; j < P.RootingGames.size(); ++j)
          sides[rows[j] + i] += gained;
      }
    };
    credit(FTally.Share, FShareBefore, FTally.Rooting);
    credit(FTally.Prize, FPrizeBefore, FTally.RootingPrize);
  }

  // The contenders carried at `depth`, each one's place among the contenders and total.
  struct TCarried {
    const int* Ids;
    const TLane* Values;
    int Count;
  };
  TCarried Carried(int depth) {
    const size_t n = static_cast<size_t>(P.Count);
    const size_t at = static_cast<size_t>(depth) * n;
    if (!FWhole)
      return {FIds.data() + at, FValue.data() + at, FCount[static_cast<size_t>(depth)]};
    // Every contender was carried along: those who can still finish first (or be paid) are
    // picked out now, in order.
    const TLane sure = Sure(FLo.data() + at, P.Count);
    int count = 0;
    for (size_t c = 0; c < n; ++c) {
      FPickedIds[static_cast<size_t>(count)] = static_cast<int>(c);
      FPickedValues[static_cast<size_t>(count)] = FValue[at + c];
      count += Level(FHi[at + c]) >= sure;
    }
    return {FPickedIds.data(), FPickedValues.data(), count};
  }

  void Outcome(double weight) {
    const TCarried carried = Carried(P.GameCount);
    const int count = carried.Count;
    TLane top = std::numeric_limits<TLane>::min();
    for (int c = 0; c < count; ++c)
      top = std::max(top, Level(carried.Values[c]));
    FFirst.clear();
    for (int c = 0; c < count; ++c) {
      if (Level(carried.Values[c]) == top)
        FFirst.push_back(carried.Ids[c]);
    }
    if (!FFirst.empty())
      FTally.AddFirst(FFirst, P.ChampionOn(FOcc), weight);
    if (P.Paid > 0)
      FPrizes.Add(carried.Ids, carried.Values, count, weight, P.PaidUpTo, FTally);
    if (P.Way.RankAll)
      FRanker.PlaceAll(Totals(P.GameCount), P.Players, FTally);
  }

  const TPlan<TLane>& P;
  TTally& FTally;
  const TOutlookProgress& FProgress;
  std::array<int32_t, kSlots + 1> FOcc{};
  std::vector<TLane> FTotals;
  // Per depth, the contenders still carried: each one's place among the contenders, total,
  // lowest and highest final total.
  std::vector<int> FIds;
  std::vector<TLane> FValue, FLo, FHi;
  // Every contender's total and bounds at a task's root.
  std::vector<TLane> FRoot, FRootLo, FRootHi;
  std::vector<int> FCount;
  // Few contenders are carried whole, every one of them at every depth in rows that vector
  // instructions add at once: cheaper than picking out, game after game, those who can no
  // longer finish first. They are picked out where an outcome or the end game needs them,
  // into FPickedIds and FPickedValues. Once out of the running a contender stays out, for
  // its highest total only falls and the best sure total only rises.
  const bool FWhole;
  std::vector<int> FPickedIds;
  std::vector<TLane> FPickedValues;
  bool FStop = false;
  bool FSnapped = false;
  std::vector<double> FShareBefore, FPrizeBefore;
  std::vector<int> FFirst;
  TRanker<TLane> FRanker;
  TPrizeRanker<TLane> FPrizes;
  std::vector<TLane> FScratch;
  // The last games, played by table where the plan has them so.
  std::unique_ptr<TEndGame> FEndGame;
};

}  // namespace OutlookSearch
