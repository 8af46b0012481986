// A run's result put together from the workers' tallies.

#include "OutlookResult.h"

#include <algorithm>
#include <limits>
#include <tuple>

#include "FinishOrder.h"

namespace OutlookSearch {
namespace {

// What the draws make of one contender: the weight won with each champion, and the share won
// with each side of each rooting game.
struct TDrawnSums {
  std::vector<double> Champion;  // per champion
  std::vector<double> Rooting;   // game * 2 + side
};

}  // namespace

template <typename TLane>
void BreakFinalTie(const TPlan<TLane>& plan, TTally& tally) {
  // Everyone placed by the standings' finish order, the guesses parting players level on
  // points; whoever it puts first finishes first.
  const TOutlookInput& input = plan.In;
  std::vector<FinishOrder::TKey> keys;
  keys.reserve(static_cast<size_t>(input.PlayerCount()));
  for (size_t i = 0; i < static_cast<size_t>(input.PlayerCount()); ++i)
    keys.push_back({input.Base[i], input.GuessDistance[i], static_cast<uint32_t>(i)});
  const std::vector<int> places = FinishOrder::Rank(keys, true);
  std::vector<int> first;
  for (size_t r = 0; r < keys.size(); ++r) {
    const size_t player = keys[r].Row;
    tally.Best[player] = tally.Worst[player] = places[r];
    if (places[r] == 1)
      first.push_back(plan.ContenderOf[player]);
  }
  std::fill(tally.Won.begin(), tally.Won.end(), 0.0);
  std::fill(tally.Tied.begin(), tally.Tied.end(), 0.0);
  std::fill(tally.Share.begin(), tally.Share.end(), 0.0);
  std::fill(tally.Champion.begin(), tally.Champion.end(), 0.0);
  tally.AddFirst(first, plan.ChampionOn(plan.In.Occupant), 1.0);
  if (plan.Paid == 0)
    return;
  // The prizes too go by the finish order: the guess parts players level on points.
  const std::vector<int64_t> prizes = Prizes::Share(
      Prizes::PlaceAmounts(input.Prizes, input.PlayerCount()), places);
  std::fill(tally.Prize.begin(), tally.Prize.end(), 0.0);
  std::fill(tally.Paid.begin(), tally.Paid.end(), 0.0);
  for (size_t r = 0; r < keys.size(); ++r) {
    const int c = plan.ContenderOf[keys[r].Row];
    if (places[r] > plan.Paid)
      continue;
    tally.Prize[static_cast<size_t>(c)] = static_cast<double>(prizes[r]);
    tally.Paid[static_cast<size_t>(c)] = 1.0;
  }
}

namespace {

// How a run's weights read: they add up to `Total`, the outcomes' chances when every outcome
// is visited (exact in binary when even, since each is a power of one half), one per draw
// when sampled. Counts are reported per outcome.
struct TWeights {
  explicit TWeights(const TOutlookResult& result)
      : Total(result.Exact ? 1.0 : static_cast<double>(result.Samples)),
        PerOutcome(static_cast<double>(result.Outcomes) / Total) {}
  double Total;
  double PerOutcome;
};

// A player's points, places and chance of winning.
template <typename TLane>
TOutlookPlayer Standing(const TPlan<TLane>& plan, const TTally& tally, bool exact,
                        const TWeights& weights, int i) {
  const TOutlookInput& input = plan.In;
  const size_t n = static_cast<size_t>(i);
  const int c = plan.ContenderOf[n];
  TOutlookPlayer player;
  player.Index = i;
  player.Name = input.PlayerNames.at(i);
  player.Current = Saturate(input.Base[n]);
  player.Max = static_cast<int32_t>(plan.Max[n]);
  player.BestPlace = tally.Best[n];
  player.WorstPlace = tally.Worst[n];
  if (c >= 0) {
    const size_t k = static_cast<size_t>(c);
    player.Won = tally.Won[k] * weights.PerOutcome;
    player.Tied = tally.Tied[k] * weights.PerOutcome;
    player.WinChance = std::clamp(tally.Share[k] / weights.Total, 0.0, 1.0);
    if (!tally.Prize.empty()) {
      player.ExpectedPrize = tally.Prize[k] / weights.Total;
      player.PrizeChance = std::clamp(tally.Paid[k] / weights.Total, 0.0, 1.0);
    }
  }
  player.ChanceLow = player.ChanceHigh = player.WinChance;
  player.PrizeLow = player.PrizeHigh = player.ExpectedPrize;
  player.PrizeChanceLow = player.PrizeChanceHigh = player.PrizeChance;
  if (exact)
    return player;
  std::tie(player.ChanceLow, player.ChanceHigh) = ChanceInterval(player.WinChance, weights.Total);
  if (plan.Paid > 0) {
    // A player who is no contender is paid in no draw: nothing to be unsure of.
    if (c >= 0) {
      const size_t k = static_cast<size_t>(c);
      std::tie(player.PrizeLow, player.PrizeHigh) =
          MeanInterval(tally.Prize[k], tally.PrizeSquares[k], weights.Total,
                       static_cast<double>(plan.PaidUpTo.back()));
    }
    std::tie(player.PrizeChanceLow, player.PrizeChanceHigh) =
        ChanceInterval(player.PrizeChance, weights.Total);
  }
  return player;
}

// What contender `c` won with each champion and each side of the rooting games: the exact
// run's tallies, or its draws, which come in contender order from `drawn` on.
template <typename TLane>
TDrawnSums SumsOf(const TPlan<TLane>& plan, const TTally& tally, bool exact, int c, size_t& drawn) {
  const size_t k = static_cast<size_t>(c);
  const size_t champions = plan.Candidates[kChampionSlot].size();
  const size_t rootingGames = plan.RootingGames.size();
  TDrawnSums sums;
  sums.Champion.assign(champions, 0);
  sums.Rooting.assign(rootingGames * 2, 0);
  if (exact) {
    std::copy_n(tally.Champion.begin() + static_cast<std::ptrdiff_t>(k * champions), champions,
                sums.Champion.begin());
    for (size_t r = 0; r < sums.Rooting.size(); ++r)
      sums.Rooting[r] = tally.Rooting[r * static_cast<size_t>(plan.Count) + k];
  }
  for (; drawn < tally.Drawn.size() && tally.Drawn[drawn].Contender == c; ++drawn) {
    const TTally::TDrawn& entry = tally.Drawn[drawn];
    if (entry.Champion >= 0)
      sums.Champion[static_cast<size_t>(entry.Champion)] += 1;
    for (size_t j = 0; j < rootingGames; ++j)
      sums.Rooting[j * 2 + ((entry.Sides >> j) & 1)] += entry.Share;
  }
  return sums;
}

// Each rooting player's expected prize with side `side` of `rooting` (tallied in row `row`),
// whose outcomes weigh `weight`, and its interval when sampled.
template <typename TLane>
void SharePrizes(const TPlan<TLane>& plan, const TTally& tally, double weight, size_t row,
                 const TOutlookResult& result, TRootingGame& rooting, size_t side) {
  const size_t at = row * static_cast<size_t>(plan.Count);
  const double pot = static_cast<double>(result.Pot);
  for (const int i : result.RootingPlayers) {
    const size_t k = at + static_cast<size_t>(plan.ContenderOf[static_cast<size_t>(i)]);
    const double prize = weight > 0 ? std::clamp(tally.RootingPrize[k] / weight, 0.0, pot) : 0.0;
    double low = prize;
    double high = prize;
    if (!result.Exact)
      std::tie(low, high) =
          MeanInterval(tally.RootingPrize[k], tally.RootingSquares[k], weight, pot);
    rooting.Prize[side].push_back(prize);
    rooting.PrizeLow[side].push_back(low);
    rooting.PrizeHigh[side].push_back(high);
  }
}

// Each rooting game's teams, and each player's chance with either side as a share of the
// weight of the outcomes in which that side wins.
template <typename TLane>
void ShareRooting(const TPlan<TLane>& plan, const TTally& tally, const TWeights& weights,
                  TOutlookResult& result) {
  const TOutlookInput& input = plan.In;
  for (size_t j = 0; j < plan.RootingGames.size(); ++j) {
    const TGame& game = input.Games[static_cast<size_t>(plan.RootingGames[j])];
    TRootingGame& rooting = result.Rooting[j];
    rooting.Slot = game.Slot;
    rooting.Round = game.Round;
    const std::array<int32_t, 2> teams = {plan.FixedTeam(game.Feeder[0]),
                                          plan.FixedTeam(game.Feeder[1])};
    for (size_t side = 0; side < 2; ++side) {
      rooting.Teams[side] = input.TeamNames.at(teams[side]);
      const double weight = result.Exact
                                ? weights.Total * plan.Chance(teams, static_cast<int>(side))
                                : tally.RootingWeight[j * 2 + side];
      if (!result.Exact)
        rooting.Samples[side] = weight;
      for (double& chance : rooting.Chance[side])
        chance = weight > 0 ? std::clamp(chance / weight, 0.0, 1.0) : 0.0;
      if (result.RootsByPrize)
        SharePrizes(plan, tally, weight, j * 2 + side, result, rooting, side);
    }
  }
}

}  // namespace

template <typename TLane>
void AssembleResult(const TPlan<TLane>& plan, TTally& tally, TOutlookResult& result) {
  const TOutlookInput& input = plan.In;
  const TWeights weights(result);
  const std::vector<int32_t>& champions = plan.Candidates[kChampionSlot];
  const size_t rootingGames = plan.RootingGames.size();
  // Draws in contender order, each contender's summed as its turn comes.
  std::sort(
      tally.Drawn.begin(), tally.Drawn.end(),
      [](const TTally::TDrawn& a, const TTally::TDrawn& b) { return a.Contender < b.Contender; });
  size_t drawn = 0;
  result.Rooting.resize(rootingGames);
  for (int i = 0; i < input.PlayerCount(); ++i) {
    TOutlookPlayer player = Standing(plan, tally, result.Exact, weights, i);
    const int c = plan.ContenderOf[static_cast<size_t>(i)];
    // With the guide by prizes, whoever can still be paid has something to root for.
    if (c >= 0 && (player.WinChance > 0 || (result.RootsByPrize && player.PrizeChance > 0))) {
      const TDrawnSums sums = SumsOf(plan, tally, result.Exact, c, drawn);
      for (size_t t = 0; t < champions.size(); ++t) {
        if (sums.Champion[t] > 0)
          player.Champions.push_back(
              {input.TeamNames.at(champions[t]), sums.Champion[t] * weights.PerOutcome});
      }
      std::stable_sort(
          player.Champions.begin(), player.Champions.end(),
          [](const TOutlookChampion& a, const TOutlookChampion& b) { return a.Won > b.Won; });
      result.RootingPlayers.push_back(i);
      for (size_t j = 0; j < rootingGames; ++j) {
        for (size_t side = 0; side < 2; ++side)
          result.Rooting[j].Chance[side].push_back(sums.Rooting[j * 2 + side]);
      }
    }
    result.Players.push_back(std::move(player));
  }
  std::stable_sort(result.Players.begin(), result.Players.end(),
                   [](const TOutlookPlayer& a, const TOutlookPlayer& b) {
                     if (a.WinChance != b.WinChance)
                       return a.WinChance > b.WinChance;
                     if (a.Max != b.Max)
                       return a.Max > b.Max;
                     return a.Current > b.Current;
                   });
  ShareRooting(plan, tally, weights, result);
}

template void BreakFinalTie(const TPlan<int16_t>&, TTally&);
template void AssembleResult(const TPlan<int16_t>&, TTally&, TOutlookResult&);
template void BreakFinalTie(const TPlan<int32_t>&, TTally&);
template void AssembleResult(const TPlan<int32_t>&, TTally&, TOutlookResult&);
template void BreakFinalTie(const TPlan<int64_t>&, TTally&);
template void AssembleResult(const TPlan<int64_t>&, TTally&, TOutlookResult&);

}  // namespace OutlookSearch
