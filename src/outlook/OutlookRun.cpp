// A run of the outlook: the plan, the workers on their threads (every outcome visited, or
// outcomes drawn), the best and worst places searched for, and the result.

#include <memory>
#include <type_traits>

#include "Outlook.h"
#include "OutlookGain.h"
#include "OutlookPlan.h"
#include "OutlookResult.h"
#include "OutlookTally.h"
#include "OutlookThreads.h"
#include "PlaceSearch.h"
#include "Sampler.h"
#include "WinnerSearch.h"

namespace OutlookSearch {
namespace {

template <typename TLane>
TOutlookResult Run(const TOutlookInput& input, const TOutlookGain& gain,
                   const TOutlookOptions& options, TOutlookProgress& progress) {
  const TPlan<TLane> plan(input, gain, options);
  TOutlookResult result;
  result.Model = options.Model;
  result.GamesLeft = input.RealGames();
  result.Outcomes = uint64_t{1} << result.GamesLeft;
  result.Exact = plan.Way.Exact;
  result.Samples = plan.Way.Samples;
  result.PaysPrizes = plan.Paid > 0;
  result.Pot = plan.PaidUpTo.back();
  const int threads = plan.Workers();
  const int players = input.PlayerCount();
  const int rootingGames = static_cast<int>(plan.RootingGames.size());
  // With prizes the guide goes by them, unless drawing for a pool so large that every worker
  // keeping each contender's prizes by every side of every rooting game would not fit.
  result.RootsByPrize =
      plan.Paid > 0 && rootingGames > 0 &&
      (result.Exact || 2.0 * rootingGames * plan.Count <= options.RootingPrizeCells);
  std::vector<TTally> tallies(static_cast<size_t>(threads));
  for (TTally& tally : tallies)
    tally.Init(plan.Count, players, plan.Champions, rootingGames, !result.Exact, plan.Paid > 0,
               result.RootsByPrize);

  // Once the tournament is over and its total entered, the guesses part players level on
  // points, in their places too: those come with the tie-break, not from a search by points.
  const bool finalTieBreak = result.GamesLeft == 0 && !input.GuessDistance.empty();
  const bool searchPlaces = result.Exact && !plan.Way.RankAll && !finalTieBreak;
  if (result.Exact) {
    const int64_t tasks = int64_t{1} << plan.TaskBits;
    progress.Start(tasks + (searchPlaces ? 2 * int64_t{players} : 0));
    std::vector<std::unique_ptr<TWinnerSearch<TLane>>> searches;
    for (TTally& tally : tallies)
      searches.push_back(std::make_unique<TWinnerSearch<TLane>>(plan, tally, progress));
    RunOnThreads(threads, tasks, progress, [&](int worker, int64_t task) {
      return searches[static_cast<size_t>(worker)]->RunTask(task);
    });
  } else {
    const int64_t blocks = (result.Samples + kSampleBlock - 1) / kSampleBlock;
    progress.Start(blocks);
    std::vector<std::unique_ptr<TSampler<TLane>>> samplers;
    for (TTally& tally : tallies)
      samplers.push_back(std::make_unique<TSampler<TLane>>(plan, tally, result.Samples));
    RunOnThreads(threads, blocks, progress, [&](int worker, int64_t block) {
      samplers[static_cast<size_t>(worker)]->RunBlock(block);
      return true;
    });
  }
  if (progress.Cancelled()) {
    result.Cancelled = true;
    return result;
  }
  TTally& tally = tallies.front();
  for (size_t t = 1; t < tallies.size(); ++t)
    tally.Add(tallies[t]);
  tallies.resize(1);
  if (finalTieBreak)
    BreakFinalTie(plan, tally);
  const auto canFinishFirst = [&](int i) {
    const int c = plan.ContenderOf[static_cast<size_t>(i)];
    return c >= 0 && tally.Won[static_cast<size_t>(c)] + tally.Tied[static_cast<size_t>(c)] > 0;
  };

  if (searchPlaces) {
    // Each player's best and worst place, one search each. A player who can finish first
    // has 1 for a best place already.
    std::vector<std::unique_ptr<TPlaceSearch>> searches;
    for (int t = 0; t < threads; ++t)
      searches.push_back(std::make_unique<TPlaceSearch>(plan, progress));
    RunOnThreads(threads, 2 * int64_t{players}, progress, [&](int worker, int64_t item) {
      const size_t i = static_cast<size_t>(item / 2);
      const bool worst = item % 2 == 1;
      TPlaceSearch& search = *searches[static_cast<size_t>(worker)];
      if (worst) {
        tally.Worst[i] = search.Run(static_cast<int>(i), true, 0, plan.StaticWorst[i]);
      } else {
        tally.Best[i] =
            canFinishFirst(static_cast<int>(i))
                ? 1
                : search.Run(static_cast<int>(i), false, players + 1, plan.StaticBest[i]);
      }
      return !search.Stopped();
    });
    if (progress.Cancelled()) {
      result.Cancelled = true;
      return result;
    }
  }

  AssembleResult(plan, tally, result);
  if (result.GamesLeft > 0 && result.GamesLeft <= TOutlookResult::kLastGames)
    result.LastGames = ListOutcomes(input, options);
  return result;
}

// Whether every total, and every partial sum on the way to it and to its bounds, fits a lane
// of TLane without overflow.
template <typename TLane>
bool FitsLanes(const TOutlookInput& input, const TOutlookGain& gain) {
  constexpr int64_t kLimit =
      std::is_same_v<TLane, int16_t> ? 32000 : std::numeric_limits<TLane>::max() / 4;
  const size_t size = static_cast<size_t>(input.TeamCount()) * kRowsPerTeam;
  std::vector<int64_t> most(size), least(size);
  const bool byTeam = gain.ByTeamAndRound();
  for (int i = 0; i < input.PlayerCount(); ++i) {
    gain.MostOf(i, most.data());
    if (!byTeam)
      gain.LeastOf(i, least.data());
    int64_t reach = std::abs(input.Base[static_cast<size_t>(i)]);
    for (size_t at = 0; at < size && reach <= kLimit; ++at) {
      const int64_t widest =
          std::max(std::abs(most[at]), byTeam ? int64_t{0} : std::abs(least[at]));
      reach = std::min(reach + widest, kLimit + 1);
    }
    if (reach > kLimit)
      return false;
  }
  return true;
}

}  // namespace
}  // namespace OutlookSearch

TOutlookResult ComputeOutlook(const TOutlookInput& input, const TOutlookGain& gain,
                              const TOutlookOptions& options, TOutlookProgress* progress) {
  TOutlookProgress own;
  TOutlookProgress& shared = progress ? *progress : own;
  if (OutlookSearch::FitsLanes<int16_t>(input, gain))
    return OutlookSearch::Run<int16_t>(input, gain, options, shared);
  if (OutlookSearch::FitsLanes<int32_t>(input, gain))
    return OutlookSearch::Run<int32_t>(input, gain, options, shared);
  return OutlookSearch::Run<int64_t>(input, gain, options, shared);
}

TOutlookResult ComputeOutlook(const TOutlookInput& input, const TOutlookOptions& options,
                              TOutlookProgress* progress) {
  if (input.Scoring.DependsOnLoser())
    return ComputeOutlook(input, TLoserGain(input), options, progress);
  return ComputeOutlook(input, TOutlookGain(input), options, progress);
}
