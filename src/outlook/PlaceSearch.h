#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "Outlook.h"
#include "OutlookPlan.h"

namespace OutlookSearch {

// The best or worst place one player can still finish in, searched branch and bound. It
// carries the other players' totals relative to this one's, with the lowest and highest those
// differences can still reach: a player sure to stay above is counted and dropped, one who can
// no longer get above is dropped. A branch that cannot better the place found so far is left.
// The first dive follows the results that suit the search (the player's own picks for the best
// place, the other side for the worst), so a good place is found early.
class TPlaceSearch {
 public:
  template <typename TLane>
  explicit TPlaceSearch(const TPlan<TLane>& plan, const TOutlookProgress& progress)
      : In(plan.In),
        FRule(plan.Rule),
        FByTeam(plan.ByTeam),
        FPairs(plan.Pairs),
        FCandidates(plan.Candidates),
        FProgress(progress),
        FPlayers(plan.Players),
        FGames(plan.GameCount),
        FRowOf(plan.RowOf),
        FRowCount(plan.RowCount) {
    FRootAlive = plan.AliveAt(0);
    FOwn.resize(static_cast<size_t>(In.TeamCount()) * kRowsPerTeam);
    FOther.resize(FOwn.size());
    FLeast.resize(FOwn.size());
  }

  // The best (or, with `worst`, the worst) place of player `i`, starting from `found`, a place
  // some outcome gives, and stopping at `limit`, the place no outcome can pass.
  int Run(int i, bool worst, int found, int limit);

  bool Stopped() const { return FStop; }

 private:
  // Where a row of every player starts: the (team, round) pairs a game can bring have one.
  size_t Row(int team, int round) const {
    return static_cast<size_t>(
               FRowOf[static_cast<size_t>(team) * kRowsPerTeam + static_cast<size_t>(round)]) *
           static_cast<size_t>(FPlayers);
  }

  // The gains of every other player less this one's, and the most and least of them still to
  // come for a team standing in each round.
  void Prepare(int i);

  bool Hopeless(int sure, int count) const;

  void Walk(int depth, int sure);

  const TOutlookInput& In;
  const TOutlookGain& FRule;
  const bool FByTeam;
  const TGamePairs& FPairs;
  const TGamePairs::TCandidates& FCandidates;
  const TOutlookProgress& FProgress;
  const int FPlayers;
  const int FGames;
  const std::vector<int>& FRowOf;
  const int FRowCount;
  std::vector<int> FRootAlive;
  // The gains of the player searched for by team and round, and of the one being compared with
  // it less those (FOther, with the least of them in FLeast where the loser matters); where it
  // does, the player's gains per pair of winner and loser.
  std::vector<int64_t> FOwn, FOther, FLeast;
  std::vector<int64_t> FOwnPairs;
  std::array<int32_t, kSlots + 1> FOcc{};
  bool FWorst = false;
  int FFound = 0;
  int FLimit = 0;
  bool FStop = false;
  uint64_t FNodes = 0;
  std::vector<int64_t> FDelta, FMax, FMin;
  std::vector<int> FIds;
  std::vector<int64_t> FDiff, FLo, FHi;
  std::vector<int> FCount;
};

}  // namespace OutlookSearch
