#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "OutlookPlan.h"
#include "OutlookTally.h"

namespace OutlookSearch {

// The widest vector instructions the processor has, no wider than `most`.
TOutlookVectors WidestVectors(TOutlookVectors most);

// The last games of the search, played by table: every outcome of them is a lane of a vector
// and every contender's totals in all lanes are worked out at once (EndGameLanes.inc), then
// the lanes each contender is first in are tallied. One per worker.
class TEndGame {
 public:
  explicit TEndGame(const TPlan<int16_t>& plan);

  // Every outcome of the end game below the outcome of weight `weight` that left `occupant`
  // on the lines, among `count` contenders: `ids` their places among the contenders, `values`
  // their totals so far.
  void Play(const std::array<int32_t, kSlots + 1>& occupant, const int* ids, const int16_t* values,
            int count, double weight, TTally& tally);

 private:
  // Points FStanding and FFrom at the gains of the teams that stand on their lines,
  // contender by contender.
  void FindStanding(const int* ids, int count);
  // Works out every contender's totals in every lane and the lanes each is first in.
  void PlayLanes(const int16_t* values, int count);
  // Adds what one contender, first in `lanes`, wins, ties and shares, and the champions it
  // wins with, each lane counted once (even chances).
  void TallyEven(const TEndBits& lanes, double each, size_t contender, TTally& tally);
  // The same for every contender first in some lane, each lane weighed (FLaneWeight).
  void TallyWeighted(const int* ids, TTally& tally);
  // What each contender is paid in every lane, from the place its total is on there: each
  // lane counted (even chances) or weighed (FLaneWeight), below an outcome of weight `weight`.
  void TallyPrizes(const int* ids, bool even, double weight, TTally& tally);
  // The weight of each outcome of the end game below an outcome of weight `weight`, games
  // weighed by the seeds: the chance of each pairing on the lines taken once.
  void LaneWeights(double weight);

  const TPlan<int16_t>& P;
  // Each contender's totals, the teams on the lines, the lanes in which each contender is first,
  // and each lane's weight, as won by one or tied by several, and the share of it each of those
  // first there gets.
  std::vector<TEndLanes> FEnd;
  TEndLanes FEndFirsts;  // how many are first in each lane
  std::vector<int32_t> FEndTeams;
  std::vector<int> FEndChampionOf;  // per line, TPlan::ChampionOf its team
  std::vector<TEndBits> FEndBits;
  std::vector<int> FLeaders;  // the contenders first in some lane (PlayEndGame)
  int FLeaderCount = 0;
  // Per cell (TPlan::EndCells), 1 while its team stands on its line, 0 otherwise.
  std::vector<uint8_t> FStands;
  // Per contender, where its gains of the teams standing on their lines start in FStanding.
  std::vector<int> FFrom;
  std::vector<const TEndLanes*> FStanding;
  TEndBits FEndSole{};
  std::vector<double> FLaneWeight;
  std::vector<double> FPairChance;  // the chance the team on one line beats that on another
  // Weighed tallies (TallyWeighted): the contenders first alone in some lane, in order; per
  // lane, the cell of FSoleWeight its weight goes to; per one of them and line, the weight it
  // wins alone with that line's team champion, in four sums.
  std::vector<int> FSoles;
  TEndLanes FSoleCells;
  std::vector<double> FSoleWeight;
  // Lanes counted for TallyEven (see CountEndLanes).
  std::vector<int> FEndCounts;
  // 1 / k, for the share of each of k first in a lane.
  std::vector<double> FInverse;
  // Prizes (TallyPrizes): the highest totals of each lane, as many as places are paid, highest
  // first, and how many have the last of them, counted negative; per contender, the vectors of
  // lanes it reaches that last in; the contenders reaching it in some lane.
  std::vector<TEndLanes> FTop;
  TEndLanes FAtCut;
  std::vector<uint64_t> FReached;
  std::vector<int> FReaching;
  int FReachingCount = 0;
  // The share of each place paid for each number of players level there, up to
  // kTableLevels - 1 (0 for none), in 15-bit digits, lowest first, and the odd cents after
  // them: FShareDigits[(place * (kEndDigits + 1) + k) * kTableLevels + level]; and how many
  // digits the pot takes.
  std::vector<int16_t> FShareDigits;
  int FDigits = 1;
  // Room for each lane's shares by place, as digits and odd cents, and weighed.
  std::vector<TEndLanes> FLaneShares;
  std::vector<double> FWeighed;
  // Per contender reaching the cut: under even chances, the cents it is paid and the lanes it
  // is paid in; otherwise its prize and the weight of the lanes it is paid in.
  std::vector<int64_t> FCents;
  std::vector<int> FPaidLanes;
  std::vector<double> FPrizes, FChances;
};

}  // namespace OutlookSearch
