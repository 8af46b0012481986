#include "Outlook.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <thread>
#include <type_traits>

#include "ChartGeometry.h"

// How the search goes. Outcomes are visited depth first, one game after another in slot order,
// which is round order, so both teams of a game are known when it is reached. Every player's
// running total lives in a lane of a flat array; taking a game adds the winner's row of gains
// to the whole array at once, a loop the compiler turns into vector instructions. Totals are
// kept in 16-bit lanes whenever no total can leave that range, so one instruction serves many
// players; pools with larger point values fall back to 64-bit lanes.
//
// Three games before the end (the last rounds) the search stops recursing through the whole
// array. It bounds every player's final total over what is left: a player who cannot reach
// the total some other player is sure of cannot finish first there. The few who can are
// copied into a small table of their own, and the last games are played out on that table.
// Places (best and worst) are worked out only for players whose bounds there could still
// beat the best or worst place found so far, which after the first outcomes is rarely anyone.
//
// The first games of the tree are split into tasks, one outcome of those games each; worker
// threads take tasks in turn and keep tallies of their own, added up at the end.

namespace {

using TGame = TOutlookInput::TGame;

constexpr int kRowsPerTeam = 8;  // one per chart round, 0..7
constexpr int kLastRound = 7;
constexpr int kChampionSlot = ChartGeometry::kChampionSlot;
constexpr int kSlots = TOutlookInput::kSlots;
// Games left when the search switches to the small table of possible winners.
constexpr int kTableGames = 3;
// Further points, games before the end, at which the bounds are looked at again.
constexpr int kCheckpointGames[] = {15, 7};
// Enough tasks that every thread stays busy to the end and progress moves smoothly.
constexpr int kTaskGames = 10;
constexpr int64_t kSampleBlock = 1024;

int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// A total as the standings rank it: wide lanes hold the exact sum, which the standings stop
// at the int32 range.
template <typename TLane>
inline TLane Level(TLane value) {
  if constexpr (sizeof(TLane) > sizeof(int32_t)) {
    return std::clamp<TLane>(value, std::numeric_limits<int32_t>::min(),
                             std::numeric_limits<int32_t>::max());
  } else {
    return value;
  }
}

template <typename TLane>
inline void AddRow(TLane* __restrict out, const TLane* __restrict from, const TLane* __restrict row,
                   int count) {
  for (int i = 0; i < count; ++i)
    out[i] = static_cast<TLane>(from[i] + row[i]);
}

// The tallies of one worker.
struct TTally {
  int Players = 0;
  int Teams = 0;
  std::vector<double> Won, Tied, Share;
  std::vector<double> Champion;  // player * Teams + team
  std::vector<int> Best, Worst;
  std::vector<double> Rooting;        // (game * 2 + side) * Players + player
  std::vector<double> RootingWeight;  // game * 2 + side; counted only when sampling

  void Init(int players, int teams, int rootingGames) {
    Players = players;
    Teams = teams;
    const size_t n = static_cast<size_t>(players);
    Won.assign(n, 0);
    Tied.assign(n, 0);
    Share.assign(n, 0);
    Champion.assign(n * static_cast<size_t>(teams), 0);
    Best.assign(n, std::numeric_limits<int>::max());
    Worst.assign(n, 0);
    Rooting.assign(static_cast<size_t>(rootingGames) * 2 * n, 0);
    RootingWeight.assign(static_cast<size_t>(rootingGames) * 2, 0);
  }

  void Add(const TTally& other) {
    auto sum = [](std::vector<double>& to, const std::vector<double>& from) {
      for (size_t i = 0; i < to.size(); ++i)
        to[i] += from[i];
    };
    sum(Won, other.Won);
    sum(Tied, other.Tied);
    sum(Share, other.Share);
    sum(Champion, other.Champion);
    sum(Rooting, other.Rooting);
    sum(RootingWeight, other.RootingWeight);
    for (size_t i = 0; i < Best.size(); ++i) {
      Best[i] = std::min(Best[i], other.Best[i]);
      Worst[i] = std::max(Worst[i], other.Worst[i]);
    }
  }

  // The players first in one outcome, of weight `weight`, with `champion` (-1: none).
  void AddFirst(const std::vector<int>& first, int champion, double weight) {
    const double share = weight / static_cast<double>(first.size());
    for (const int i : first) {
      (first.size() == 1 ? Won : Tied)[static_cast<size_t>(i)] += weight;
      Share[static_cast<size_t>(i)] += share;
      if (champion >= 0)
        Champion[static_cast<size_t>(i) * static_cast<size_t>(Teams) +
                 static_cast<size_t>(champion)] += weight;
    }
  }

  void AddPlace(int player, int place) {
    int& best = Best[static_cast<size_t>(player)];
    int& worst = Worst[static_cast<size_t>(player)];
    best = std::min(best, place);
    worst = std::max(worst, place);
  }
};

// What every worker reads: the input laid out in lanes, and what is known before searching.
template <typename TLane>
struct TPlan {
  const TOutlookInput& In;
  const TOutlookOptions& Options;
  int Players = 0;
  int Teams = 0;
  int GameCount = 0;
  size_t Stride = 0;
  std::vector<TLane> Base;
  // Row (team, round): the gain for each player when the team reaches that chart round.
  std::vector<TLane> Gain;
  // Row (team, round): the most and the least a team standing in that round can still add.
  std::vector<TLane> MaxGain, MinGain;
  // Per player, the exact highest and lowest final totals, and the places they rule out.
  std::vector<int64_t> Max, Min;
  std::vector<int> StaticBest, StaticWorst;
  // The rooting games (indexes into Games) and the depth by which all of them are decided.
  std::vector<int> RootingGames;
  int SnapDepth = -1;
  int TaskDepth = 0;
  int TaskBits = 0;
  // Depths at which the bounds are looked at; the last is where the table takes over.
  std::vector<int> Levels;
  std::vector<int> LevelAt;
  // Per level: the slots whose teams can still win a game from that depth on, and their rounds.
  std::vector<std::vector<int>> AliveSlots, AliveRounds;
  // How far apart the final totals can lie, the span a count of them by value needs.
  int64_t Spread = 0;

  TPlan(const TOutlookInput& input, const TOutlookOptions& options) : In(input), Options(options) {
    Players = input.PlayerCount();
    Teams = input.TeamCount();
    GameCount = static_cast<int>(input.Games.size());
    Stride = (static_cast<size_t>(Players) + 31) & ~size_t{31};
    Base.assign(Stride, 0);
    for (int i = 0; i < Players; ++i)
      Base[static_cast<size_t>(i)] = static_cast<TLane>(input.Base[static_cast<size_t>(i)]);
    const size_t rows = static_cast<size_t>(Teams) * kRowsPerTeam;
    Gain.assign(rows * Stride, 0);
    MaxGain.assign(rows * Stride, 0);
    MinGain.assign(rows * Stride, 0);
    for (int t = 0; t < Teams; ++t) {
      for (int k = 2; k <= kLastRound; ++k) {
        for (int i = 0; i < Players; ++i)
          GainRow(t, k)[i] = static_cast<TLane>(input.GainAt(t, k, i));
      }
      // Going on from round r: the best and worst of stopping after any later round.
      for (int r = 1; r <= kLastRound; ++r) {
        for (int i = 0; i < Players; ++i) {
          int64_t run = 0, most = 0, least = 0;
          for (int k = r + 1; k <= kLastRound; ++k) {
            run += input.GainAt(t, k, i);
            most = std::max(most, run);
            least = std::min(least, run);
          }
          Row(MaxGain, t, r)[i] = static_cast<TLane>(most);
          Row(MinGain, t, r)[i] = static_cast<TLane>(least);
        }
      }
    }
    ExtremeTotals();
    PlanRooting();
    PlanDepths();
  }

  TLane* Row(std::vector<TLane>& rows, int team, int round) {
    return rows.data() +
           (static_cast<size_t>(team) * kRowsPerTeam + static_cast<size_t>(round)) * Stride;
  }
  const TLane* Row(const std::vector<TLane>& rows, int team, int round) const {
    return rows.data() +
           (static_cast<size_t>(team) * kRowsPerTeam + static_cast<size_t>(round)) * Stride;
  }
  TLane* GainRow(int team, int round) { return Row(Gain, team, round); }
  const TLane* GainRow(int team, int round) const { return Row(Gain, team, round); }

  // The chance that side `side` of a game between `teams` wins it, as the model weighs it.
  double Chance(const std::array<int32_t, 2>& teams, int side) const {
    if (Options.Model == TOutlookModel::Even)
      return 0.5;
    const int32_t own = In.Seeds[static_cast<size_t>(teams[static_cast<size_t>(side)])];
    const int32_t other = In.Seeds[static_cast<size_t>(teams[static_cast<size_t>(1 - side)])];
    return SeedWinChance(own, other);
  }

  // The team that will stand on `slot` before any game of its round is played: the team on
  // it, or the one that goes through an empty line unopposed.
  int32_t FixedTeam(int32_t slot) const {
    while (In.Occupant[static_cast<size_t>(slot)] < 0) {
      const auto game = std::find_if(In.Games.begin(), In.Games.end(),
                                     [slot](const TGame& g) { return g.Slot == slot; });
      if (game == In.Games.end() || game->Real)
        return -1;
      slot = game->Feeder[0];
    }
    return In.Occupant[static_cast<size_t>(slot)];
  }

  // The exact highest and lowest final total of each player: over the bracket of games left,
  // for each line and each team that can get to it, the most and least the player can have
  // gained below that line with that team on it.
  void ExtremeTotals() {
    std::array<std::vector<int32_t>, kSlots + 1> candidates;
    std::array<int, kSlots + 1> gameOf;
    gameOf.fill(-1);
    for (int g = 0; g < GameCount; ++g)
      gameOf[static_cast<size_t>(In.Games[static_cast<size_t>(g)].Slot)] = g;
    for (int slot = 1; slot <= kSlots; ++slot) {
      const int32_t team = In.Occupant[static_cast<size_t>(slot)];
      if (team >= 0) {
        candidates[static_cast<size_t>(slot)] = {team};
      } else if (gameOf[static_cast<size_t>(slot)] >= 0) {
        const TGame& game = In.Games[static_cast<size_t>(gameOf[static_cast<size_t>(slot)])];
        for (int side = 0; side < (game.Real ? 2 : 1); ++side) {
          const auto& from =
              candidates[static_cast<size_t>(game.Feeder[static_cast<size_t>(side)])];
          candidates[static_cast<size_t>(slot)].insert(candidates[static_cast<size_t>(slot)].end(),
                                                       from.begin(), from.end());
        }
      }
    }
    Max.assign(static_cast<size_t>(Players), 0);
    Min.assign(static_cast<size_t>(Players), 0);
    std::array<std::vector<int64_t>, kSlots + 1> most, least;
    for (int slot = 1; slot <= kSlots; ++slot) {
      most[static_cast<size_t>(slot)].assign(candidates[static_cast<size_t>(slot)].size(), 0);
      least[static_cast<size_t>(slot)].assign(candidates[static_cast<size_t>(slot)].size(), 0);
    }
    auto extreme = [](const std::vector<int64_t>& values, bool highest) {
      int64_t result = values.front();
      for (const int64_t v : values)
        result = highest ? std::max(result, v) : std::min(result, v);
      return result;
    };
    for (int i = 0; i < Players; ++i) {
      int64_t high = In.Base[static_cast<size_t>(i)];
      int64_t low = high;
      for (const TGame& game : In.Games) {
        const size_t s = static_cast<size_t>(game.Slot);
        size_t at = 0;
        for (int side = 0; side < (game.Real ? 2 : 1); ++side) {
          const size_t own = static_cast<size_t>(game.Feeder[static_cast<size_t>(side)]);
          const size_t other = static_cast<size_t>(game.Feeder[static_cast<size_t>(1 - side)]);
          for (size_t c = 0; c < candidates[own].size(); ++c, ++at) {
            const int64_t gain = In.GainAt(candidates[own][c], game.Round, i);
            most[s][at] = most[own][c] + gain + (game.Real ? extreme(most[other], true) : 0);
            least[s][at] = least[own][c] + gain + (game.Real ? extreme(least[other], false) : 0);
          }
        }
        // A line whose winner goes no further closes its part of the bracket.
        const bool top = game.Slot == kChampionSlot ||
                         gameOf[static_cast<size_t>(ChartGeometry::NextSlot(game.Slot))] < 0;
        if (top) {
          high += extreme(most[s], true);
          low += extreme(least[s], false);
        }
      }
      Max[static_cast<size_t>(i)] = Saturate(high);
      Min[static_cast<size_t>(i)] = Saturate(low);
    }
    if (Players > 0)
      Spread =
          *std::max_element(Max.begin(), Max.end()) - *std::min_element(Min.begin(), Min.end());
    // Places no outcome can better or worsen: a player whose lowest total beats this one's
    // highest is always above it, and only players whose highest beats this one's lowest ever
    // get above it.
    std::vector<int64_t> lows(Min), highs(Max);
    std::sort(lows.begin(), lows.end());
    std::sort(highs.begin(), highs.end());
    StaticBest.resize(static_cast<size_t>(Players));
    StaticWorst.resize(static_cast<size_t>(Players));
    for (size_t i = 0; i < static_cast<size_t>(Players); ++i) {
      StaticBest[i] =
          1 + static_cast<int>(lows.end() - std::upper_bound(lows.begin(), lows.end(), Max[i]));
      const int above =
          static_cast<int>(highs.end() - std::upper_bound(highs.begin(), highs.end(), Min[i]));
      StaticWorst[i] = 1 + above - (Max[i] > Min[i] ? 1 : 0);
    }
  }

  // The next round to be played: its real games come first in slot order among real games.
  void PlanRooting() {
    int round = 0;
    for (int g = 0; g < GameCount; ++g) {
      const TGame& game = In.Games[static_cast<size_t>(g)];
      if (!game.Real)
        continue;
      if (round == 0)
        round = game.Round;
      if (game.Round != round)
        break;
      RootingGames.push_back(g);
    }
  }

  void PlanDepths() {
    const int lastRooting = RootingGames.empty() ? -1 : RootingGames.back();
    const int tableDepth = std::max({GameCount - kTableGames, lastRooting + 1, 0});
    // Tasks: the outcomes of the first real games, as many as kTaskGames, before the table.
    TaskDepth = 0;
    TaskBits = 0;
    while (TaskDepth < tableDepth && TaskBits < kTaskGames) {
      if (In.Games[static_cast<size_t>(TaskDepth)].Real)
        ++TaskBits;
      ++TaskDepth;
    }
    SnapDepth = RootingGames.empty() ? -1 : std::max(lastRooting + 1, TaskDepth);
    Levels.push_back(TaskDepth);
    for (const int games : kCheckpointGames) {
      const int depth = GameCount - games;
      if (depth > Levels.back() && depth < tableDepth)
        Levels.push_back(depth);
    }
    if (tableDepth > Levels.back())
      Levels.push_back(tableDepth);
    LevelAt.assign(static_cast<size_t>(GameCount) + 1, -1);
    for (size_t l = 0; l < Levels.size(); ++l)
      LevelAt[static_cast<size_t>(Levels[l])] = static_cast<int>(l);
    for (const int depth : Levels) {
      std::array<bool, kSlots + 1> later{};
      for (int g = depth; g < GameCount; ++g)
        later[static_cast<size_t>(In.Games[static_cast<size_t>(g)].Slot)] = true;
      std::vector<int> alive;
      for (int g = depth; g < GameCount; ++g) {
        const TGame& game = In.Games[static_cast<size_t>(g)];
        for (int side = 0; side < (game.Real ? 2 : 1); ++side) {
          const int slot = game.Feeder[static_cast<size_t>(side)];
          if (!later[static_cast<size_t>(slot)])
            alive.push_back(slot);
        }
      }
      std::vector<int> rounds;
      for (const int slot : alive)
        rounds.push_back(ChartGeometry::SlotRound(slot));
      AliveSlots.push_back(std::move(alive));
      AliveRounds.push_back(std::move(rounds));
    }
  }
};

// Every player's place in one outcome: by counting totals when they lie close together, by
// sorting them otherwise.
template <typename TLane>
class TRanker {
 public:
  void PlaceAll(const TLane* totals, int players, TTally& tally) {
    const size_t n = static_cast<size_t>(players);
    int64_t low = std::numeric_limits<int64_t>::max();
    int64_t high = std::numeric_limits<int64_t>::min();
    for (size_t i = 0; i < n; ++i) {
      low = std::min<int64_t>(low, Level(totals[i]));
      high = std::max<int64_t>(high, Level(totals[i]));
    }
    if (high - low <= static_cast<int64_t>(4 * n + 1024)) {
      // FAbove[v]: how many totals exceed low + v.
      FAbove.assign(static_cast<size_t>(high - low) + 1, 0);
      for (size_t i = 0; i < n; ++i)
        ++FAbove[static_cast<size_t>(Level(totals[i]) - low)];
      int running = 0;
      for (size_t v = FAbove.size(); v-- > 0;) {
        const int here = FAbove[v];
        FAbove[v] = running;
        running += here;
      }
      for (size_t i = 0; i < n; ++i)
        tally.AddPlace(static_cast<int>(i),
                       1 + FAbove[static_cast<size_t>(Level(totals[i]) - low)]);
      return;
    }
    FOrder.clear();
    for (size_t i = 0; i < n; ++i)
      FOrder.push_back(Level(totals[i]));
    std::sort(FOrder.begin(), FOrder.end());
    for (size_t i = 0; i < n; ++i) {
      const auto above = FOrder.end() - std::upper_bound(FOrder.begin(), FOrder.end(),
                                                         static_cast<int64_t>(Level(totals[i])));
      tally.AddPlace(static_cast<int>(i), 1 + static_cast<int>(above));
    }
  }

 private:
  std::vector<int> FAbove;
  std::vector<int64_t> FOrder;
};

// One worker's depth-first walk over every outcome of its tasks.
template <typename TLane>
class TExactSearch {
 public:
  TExactSearch(const TPlan<TLane>& plan, TTally& tally, const TOutlookProgress& progress)
      : P(plan), FTally(tally), FProgress(progress) {
    FTotals.resize(static_cast<size_t>(P.GameCount + 1) * P.Stride);
    const size_t levels = P.Levels.size();
    FUnsettled.resize(levels);
    FContenders.resize(levels);
    FLo.resize(P.Stride);
    FHi.resize(P.Stride);
    FShareBefore.resize(static_cast<size_t>(P.Players));
    FAllPlayers.resize(static_cast<size_t>(P.Players));
    for (int i = 0; i < P.Players; ++i)
      FAllPlayers[static_cast<size_t>(i)] = i;
    FRowOf.assign(static_cast<size_t>(P.Teams), -1);
  }

  // Plays the task's outcome of the first games, then everything below it. False when
  // cancelled.
  bool RunTask(int64_t task) {
    FOcc = P.In.Occupant;
    std::copy(P.Base.begin(), P.Base.end(), Totals(0));
    double weight = 1.0;
    int bit = 0;
    for (int d = 0; d < P.TaskDepth; ++d) {
      const TGame& game = P.In.Games[static_cast<size_t>(d)];
      const int side = game.Real ? static_cast<int>((task >> bit++) & 1) : 0;
      weight *= Take(d, side);
    }
    // Players whose best and worst places are already the ones no outcome can pass need no
    // more looking at.
    FQueue.clear();
    for (int i = 0; i < P.Players; ++i) {
      const size_t n = static_cast<size_t>(i);
      if (FTally.Best[n] != P.StaticBest[n] || FTally.Worst[n] != P.StaticWorst[n])
        FQueue.push_back(i);
    }
    Walk(P.TaskDepth, weight);
    return !FStop;
  }

 private:
  TLane* Totals(int depth) { return FTotals.data() + static_cast<size_t>(depth) * P.Stride; }

  // The winner of game `depth` is side `side`: puts it on the game's line and adds its gains.
  // Returns the factor of the outcome's weight.
  double Take(int depth, int side) {
    const TGame& game = P.In.Games[static_cast<size_t>(depth)];
    const std::array<int32_t, 2> teams = {FOcc[static_cast<size_t>(game.Feeder[0])],
                                          FOcc[static_cast<size_t>(game.Feeder[1])]};
    const int32_t team = teams[static_cast<size_t>(side)];
    FOcc[static_cast<size_t>(game.Slot)] = team;
    AddRow(Totals(depth + 1), Totals(depth), P.GainRow(team, game.Round), P.Players);
    return game.Real ? P.Chance(teams, side) : 1.0;
  }

  void Walk(int depth, double weight) {
    if (FStop)
      return;
    if (depth == P.SnapDepth && !FSnapped) {
      Snapshot(depth, weight);
      return;
    }
    const int level = P.LevelAt[static_cast<size_t>(depth)];
    if (level >= 0) {
      if (level + 1 == static_cast<int>(P.Levels.size())) {
        Table(level, depth, weight);
        return;
      }
      Checkpoint(level, depth);
    }
    const TGame& game = P.In.Games[static_cast<size_t>(depth)];
    for (int side = 0; side < (game.Real ? 2 : 1); ++side)
      Walk(depth + 1, weight * Take(depth, side));
  }

  // Below the depth where every game of the next round is decided, the shares won are
  // credited to the sides those games went to.
  void Snapshot(int depth, double weight) {
    const size_t n = static_cast<size_t>(P.Players);
    std::copy(FTally.Share.begin(), FTally.Share.end(), FShareBefore.begin());
    FSnapped = true;
    Walk(depth, weight);
    FSnapped = false;
    std::array<size_t, 64> rows{};
    for (size_t j = 0; j < P.RootingGames.size(); ++j) {
      const TGame& game = P.In.Games[static_cast<size_t>(P.RootingGames[j])];
      const int side =
          FOcc[static_cast<size_t>(game.Slot)] == FOcc[static_cast<size_t>(game.Feeder[0])] ? 0 : 1;
      rows[j] = (j * 2 + static_cast<size_t>(side)) * n;
    }
    for (size_t i = 0; i < n; ++i) {
      const double gained = FTally.Share[i] - FShareBefore[i];
      if (gained == 0)
        continue;
      for (size_t j = 0; j < P.RootingGames.size(); ++j)
        FTally.Rooting[rows[j] + i] += gained;
    }
  }

  // Every player's lowest and highest final total below this depth; `only` some of them.
  void Bounds(int level, int depth, const std::vector<int>* only) {
    const TLane* totals = Totals(depth);
    const std::vector<int>& alive = P.AliveSlots[static_cast<size_t>(level)];
    const std::vector<int>& rounds = P.AliveRounds[static_cast<size_t>(level)];
    if (only) {
      for (const int i : *only)
        FLo[static_cast<size_t>(i)] = FHi[static_cast<size_t>(i)] = totals[i];
    } else {
      std::copy(totals, totals + P.Players, FLo.begin());
      std::copy(totals, totals + P.Players, FHi.begin());
    }
    for (size_t a = 0; a < alive.size(); ++a) {
      const int team = FOcc[static_cast<size_t>(alive[a])];
      const TLane* least = P.Row(P.MinGain, team, rounds[a]);
      const TLane* most = P.Row(P.MaxGain, team, rounds[a]);
      if (only) {
        for (const int i : *only) {
          FLo[static_cast<size_t>(i)] = static_cast<TLane>(FLo[static_cast<size_t>(i)] + least[i]);
          FHi[static_cast<size_t>(i)] = static_cast<TLane>(FHi[static_cast<size_t>(i)] + most[i]);
        }
      } else {
        AddRow(FLo.data(), FLo.data(), least, P.Players);
        AddRow(FHi.data(), FHi.data(), most, P.Players);
      }
    }
  }

  // Whether the player's places below here all lie between the best and worst already found:
  // at best one behind everyone sure to have more, at worst one behind everyone who may.
  bool Settled(int i) const {
    const TLane lo = Level(FLo[static_cast<size_t>(i)]);
    const TLane hi = Level(FHi[static_cast<size_t>(i)]);
    const auto above = [](const std::vector<TLane>& sorted, TLane value) {
      return static_cast<int>(sorted.end() - std::upper_bound(sorted.begin(), sorted.end(), value));
    };
    const int surelyAbove = above(FSortedLo, hi);
    const int maybeAbove = above(FSortedHi, lo) - (hi > lo ? 1 : 0);
    return 1 + surelyAbove >= FTally.Best[static_cast<size_t>(i)] &&
           1 + maybeAbove <= FTally.Worst[static_cast<size_t>(i)];
  }

  const std::vector<int>& ParentUnsettled(int level) const {
    return level == 0 ? FQueue : FUnsettled[static_cast<size_t>(level - 1)];
  }
  const std::vector<int>& ParentContenders(int level) const {
    return level == 0 ? FAllPlayers : FContenders[static_cast<size_t>(level - 1)];
  }

  // Narrows the players still worth looking at, for winning and for places, at this depth.
  // With `rankAll` every player is ranked at every outcome below, so none is looked at here.
  void Narrow(int level, int depth, bool rankAll = false) {
    const std::vector<int>& unsettledAbove = rankAll ? FNoOne : ParentUnsettled(level);
    const std::vector<int>& contendersAbove = ParentContenders(level);
    Bounds(level, depth, unsettledAbove.empty() ? &contendersAbove : nullptr);
    std::vector<int>& unsettled = FUnsettled[static_cast<size_t>(level)];
    unsettled.clear();
    if (!unsettledAbove.empty()) {
      FSortedLo.resize(static_cast<size_t>(P.Players));
      FSortedHi.resize(static_cast<size_t>(P.Players));
      for (size_t j = 0; j < static_cast<size_t>(P.Players); ++j) {
        FSortedLo[j] = Level(FLo[j]);
        FSortedHi[j] = Level(FHi[j]);
      }
      std::sort(FSortedLo.begin(), FSortedLo.end());
      std::sort(FSortedHi.begin(), FSortedHi.end());
    }
    for (const int i : unsettledAbove) {
      if (!Settled(i))
        unsettled.push_back(i);
    }
    // No one who was out of it above can be in it here, and the player sure of the most
    // points is among those who were in it.
    TLane sure = std::numeric_limits<TLane>::min();
    for (const int i : contendersAbove)
      sure = std::max(sure, Level(FLo[static_cast<size_t>(i)]));
    std::vector<int>& contenders = FContenders[static_cast<size_t>(level)];
    contenders.clear();
    for (const int i : contendersAbove) {
      if (Level(FHi[static_cast<size_t>(i)]) >= sure)
        contenders.push_back(i);
    }
  }

  void Checkpoint(int level, int depth) {
    if (FProgress.Cancelled()) {
      FStop = true;
      return;
    }
    Narrow(level, depth);
  }

  // The last games, played out on the contenders' own small table.
  void Table(int level, int depth, double weight) {
    if (FProgress.Cancelled()) {
      FStop = true;
      return;
    }
    // Ranking every player at each outcome costs the players plus the span of their totals;
    // ruling players out first costs a sort of them. Many players and few outcomes: rank all.
    const int64_t n = P.Players;
    const int64_t outcomes = int64_t{1} << std::min(P.GameCount - depth, 20);
    const bool rankAll = !ParentUnsettled(level).empty() &&
                         2 * n * std::max<int64_t>(1, std::ilogb(static_cast<double>(n + 1))) >=
                             outcomes * (2 * n + P.Spread);
    Narrow(level, depth, rankAll);
    const std::vector<int>& contenders = FContenders[static_cast<size_t>(level)];
    FTableLevel = level;
    FTableDepth = depth;
    FCount = static_cast<int>(contenders.size());
    const size_t count = static_cast<size_t>(FCount);
    FRankAll = rankAll;
    FFull = rankAll || !FUnsettled[static_cast<size_t>(level)].empty();
    // Rows of the teams that can still win, cut down to the contenders.
    const std::vector<int>& alive = P.AliveSlots[static_cast<size_t>(level)];
    const std::vector<int>& rounds = P.AliveRounds[static_cast<size_t>(level)];
    FTableRows.resize(alive.size() * kRowsPerTeam * count);
    for (size_t a = 0; a < alive.size(); ++a) {
      const int team = FOcc[static_cast<size_t>(alive[a])];
      FRowOf[static_cast<size_t>(team)] = static_cast<int>(a);
      for (int k = rounds[a] + 1; k <= kLastRound; ++k) {
        TLane* row = FTableRows.data() + (a * kRowsPerTeam + static_cast<size_t>(k)) * count;
        const TLane* gains = P.GainRow(team, k);
        for (size_t c = 0; c < count; ++c)
          row[c] = gains[contenders[c]];
      }
    }
    FTable.resize(static_cast<size_t>(P.GameCount - depth + 1) * count);
    const TLane* totals = Totals(depth);
    for (size_t c = 0; c < count; ++c)
      FTable[c] = totals[contenders[c]];
    PlayTable(depth, weight);
  }

  void PlayTable(int depth, double weight) {
    const size_t count = static_cast<size_t>(FCount);
    if (depth == P.GameCount) {
      Outcome(weight);
      return;
    }
    const TGame& game = P.In.Games[static_cast<size_t>(depth)];
    const std::array<int32_t, 2> teams = {FOcc[static_cast<size_t>(game.Feeder[0])],
                                          FOcc[static_cast<size_t>(game.Feeder[1])]};
    const size_t at = static_cast<size_t>(depth - FTableDepth);
    for (int side = 0; side < (game.Real ? 2 : 1); ++side) {
      const int32_t team = teams[static_cast<size_t>(side)];
      FOcc[static_cast<size_t>(game.Slot)] = team;
      const TLane* row = FTableRows.data() +
                         (static_cast<size_t>(FRowOf[static_cast<size_t>(team)]) * kRowsPerTeam +
                          static_cast<size_t>(game.Round)) *
                             count;
      AddRow(FTable.data() + (at + 1) * count, FTable.data() + at * count, row, FCount);
      if (FFull)
        AddRow(Totals(depth + 1), Totals(depth), P.GainRow(team, game.Round), P.Players);
      PlayTable(depth + 1, weight * (game.Real ? P.Chance(teams, side) : 1.0));
    }
  }

  void Outcome(double weight) {
    const std::vector<int>& contenders = FContenders[static_cast<size_t>(FTableLevel)];
    const TLane* table = FTable.data() + static_cast<size_t>(P.GameCount - FTableDepth) *
                                             static_cast<size_t>(FCount);
    TLane top = std::numeric_limits<TLane>::min();
    for (int c = 0; c < FCount; ++c)
      top = std::max(top, Level(table[c]));
    FFirst.clear();
    for (int c = 0; c < FCount; ++c) {
      if (Level(table[c]) == top)
        FFirst.push_back(contenders[static_cast<size_t>(c)]);
    }
    FTally.AddFirst(FFirst, FOcc[kChampionSlot], weight);
    if (!FFull)
      return;
    const TLane* totals = Totals(P.GameCount);
    if (FRankAll) {
      FRanker.PlaceAll(totals, P.Players, FTally);
      return;
    }
    for (const int i : FUnsettled[static_cast<size_t>(FTableLevel)]) {
      const TLane own = Level(totals[i]);
      int above = 0;
      for (int j = 0; j < P.Players; ++j)
        above += Level(totals[j]) > own;
      FTally.AddPlace(i, 1 + above);
    }
  }

  const TPlan<TLane>& P;
  TTally& FTally;
  const TOutlookProgress& FProgress;
  std::array<int32_t, kSlots + 1> FOcc{};
  std::vector<TLane> FTotals;
  bool FStop = false;
  bool FSnapped = false;
  std::vector<double> FShareBefore;
  std::vector<int> FQueue;
  std::vector<int> FAllPlayers;
  std::vector<std::vector<int>> FUnsettled, FContenders;
  std::vector<TLane> FLo, FHi;
  // The table of the last games.
  int FTableLevel = 0;
  int FTableDepth = 0;
  int FCount = 0;
  bool FFull = false;
  bool FRankAll = false;
  TRanker<TLane> FRanker;
  std::vector<TLane> FSortedLo, FSortedHi;
  const std::vector<int> FNoOne;
  std::vector<int> FRowOf;
  std::vector<TLane> FTableRows;
  std::vector<TLane> FTable;
  std::vector<int> FFirst;
};

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
    FTotals.resize(P.Stride);
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
    std::copy(P.Base.begin(), P.Base.end(), FTotals.begin());
    for (const TGame& game : P.In.Games) {
      const std::array<int32_t, 2> teams = {occ[static_cast<size_t>(game.Feeder[0])],
                                            occ[static_cast<size_t>(game.Feeder[1])]};
      const int side = game.Real && random.Uniform() >= P.Chance(teams, 0) ? 1 : 0;
      occ[static_cast<size_t>(game.Slot)] = teams[static_cast<size_t>(side)];
      AddRow(FTotals.data(), FTotals.data(),
             P.GainRow(teams[static_cast<size_t>(side)], game.Round), P.Players);
    }
    TLane top = std::numeric_limits<TLane>::min();
    for (int i = 0; i < P.Players; ++i)
      top = std::max(top, Level(FTotals[static_cast<size_t>(i)]));
    FFirst.clear();
    for (int i = 0; i < P.Players; ++i) {
      if (Level(FTotals[static_cast<size_t>(i)]) == top)
        FFirst.push_back(i);
    }
    FTally.AddFirst(FFirst, occ[kChampionSlot], 1.0);
    const size_t n = static_cast<size_t>(P.Players);
    const double share = 1.0 / static_cast<double>(FFirst.size());
    for (size_t j = 0; j < P.RootingGames.size(); ++j) {
      const TGame& game = P.In.Games[static_cast<size_t>(P.RootingGames[j])];
      const size_t side =
          occ[static_cast<size_t>(game.Slot)] == occ[static_cast<size_t>(game.Feeder[0])] ? 0 : 1;
      FTally.RootingWeight[j * 2 + side] += 1.0;
      for (const int i : FFirst)
        FTally.Rooting[(j * 2 + side) * n + static_cast<size_t>(i)] += share;
    }
    FRanker.PlaceAll(FTotals.data(), P.Players, FTally);
  }

  const TPlan<TLane>& P;
  TTally& FTally;
  const int64_t FSamples;
  std::vector<TLane> FTotals;
  std::vector<int> FFirst;
  TRanker<TLane> FRanker;
};

// Runs `work(worker, item)` for items 0..count-1 on `threads` threads, each item once.
template <typename TWork>
void RunOnThreads(int threads, int64_t count, TOutlookProgress& progress, TWork work) {
  std::atomic<int64_t> next{0};
  auto worker = [&](int index) {
    for (;;) {
      const int64_t item = next.fetch_add(1, std::memory_order_relaxed);
      if (item >= count || progress.Cancelled())
        return;
      if (!work(index, item))
        return;
      progress.Advance();
    }
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < threads; ++t)
    pool.emplace_back(worker, t);
  worker(0);
  for (auto& thread : pool)
    thread.join();
}

// The 95% Wilson score interval of a share seen in `samples` draws. A share of a tied outcome
// lies between 0 and 1, so its spread is no wider than a plain win's and the interval holds.
std::pair<double, double> WilsonInterval(double share, double samples) {
  constexpr double z = 1.959963984540054;
  const double z2 = z * z;
  const double centre = (share + z2 / (2 * samples)) / (1 + z2 / samples);
  const double half =
      z / (1 + z2 / samples) *
      std::sqrt(std::max(0.0, share * (1 - share) / samples + z2 / (4 * samples * samples)));
  // At a share of 0 or 1 the interval's end is the share itself, up to rounding.
  return {std::clamp(centre - half, 0.0, share), std::clamp(centre + half, share, 1.0)};
}

template <typename TLane>
TOutlookResult Run(const TOutlookInput& input, const TOutlookOptions& options,
                   TOutlookProgress& progress) {
  const TPlan<TLane> plan(input, options);
  TOutlookResult result;
  result.Model = options.Model;
  result.GamesLeft = input.RealGames();
  result.Outcomes = uint64_t{1} << result.GamesLeft;
  result.Exact = result.GamesLeft <= options.MaxExactGames;
  result.Samples = result.Exact ? 0 : std::max<int64_t>(1, options.Samples);
  const int threads = options.Threads > 0
                          ? options.Threads
                          : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  const int players = input.PlayerCount();
  const int rootingGames = static_cast<int>(plan.RootingGames.size());
  std::vector<TTally> tallies(static_cast<size_t>(threads));
  for (TTally& tally : tallies)
    tally.Init(players, input.TeamCount(), rootingGames);

  if (result.Exact) {
    const int64_t tasks = int64_t{1} << plan.TaskBits;
    progress.Start(tasks);
    std::vector<std::unique_ptr<TExactSearch<TLane>>> searches;
    for (TTally& tally : tallies)
      searches.push_back(std::make_unique<TExactSearch<TLane>>(plan, tally, progress));
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
  result.Cancelled = progress.Cancelled();
  if (result.Cancelled)
    return result;
  TTally& tally = tallies.front();
  for (size_t t = 1; t < tallies.size(); ++t)
    tally.Add(tallies[t]);

  // Weights add up to `total`: the outcomes' chances when every outcome is visited (exact in
  // binary when even, since each is a power of one half), one per draw when sampled. Counts
  // are reported per outcome.
  const double outcomes = static_cast<double>(result.Outcomes);
  const double total = result.Exact ? 1.0 : static_cast<double>(result.Samples);
  const double perOutcome = outcomes / total;
  for (int i = 0; i < players; ++i) {
    const size_t n = static_cast<size_t>(i);
    TOutlookPlayer player;
    player.Index = i;
    player.Name = input.PlayerNames.at(i);
    player.Current = Saturate(input.Base[n]);
    player.Max = static_cast<int32_t>(plan.Max[n]);
    player.BestPlace = tally.Best[n];
    player.WorstPlace = tally.Worst[n];
    player.Won = tally.Won[n] * perOutcome;
    player.Tied = tally.Tied[n] * perOutcome;
    player.WinChance = std::clamp(tally.Share[n] / total, 0.0, 1.0);
    if (result.Exact) {
      player.ChanceLow = player.ChanceHigh = player.WinChance;
    } else {
      std::tie(player.ChanceLow, player.ChanceHigh) = WilsonInterval(player.WinChance, total);
    }
    for (int t = 0; t < input.TeamCount(); ++t) {
      const double won =
          tally.Champion[n * static_cast<size_t>(input.TeamCount()) + static_cast<size_t>(t)];
      if (won > 0)
        player.Champions.push_back({input.TeamNames.at(t), won * perOutcome});
    }
    std::stable_sort(
        player.Champions.begin(), player.Champions.end(),
        [](const TOutlookChampion& a, const TOutlookChampion& b) { return a.Won > b.Won; });
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

  for (int j = 0; j < rootingGames; ++j) {
    const TGame& game = input.Games[static_cast<size_t>(plan.RootingGames[static_cast<size_t>(j)])];
    TRootingGame rooting;
    rooting.Slot = game.Slot;
    rooting.Round = game.Round;
    const std::array<int32_t, 2> teams = {plan.FixedTeam(game.Feeder[0]),
                                          plan.FixedTeam(game.Feeder[1])};
    for (size_t side = 0; side < 2; ++side) {
      rooting.Teams[side] = input.TeamNames.at(teams[side]);
      // The weight of the outcomes in which this side wins.
      const double weight = result.Exact ? total * plan.Chance(teams, static_cast<int>(side))
                                         : tally.RootingWeight[static_cast<size_t>(j) * 2 + side];
      std::vector<double>& chance = rooting.Chance[side];
      chance.assign(static_cast<size_t>(players), 0.0);
      for (size_t i = 0; i < static_cast<size_t>(players); ++i) {
        const double share =
            tally.Rooting[(static_cast<size_t>(j) * 2 + side) * static_cast<size_t>(players) + i];
        chance[i] = weight > 0 ? std::clamp(share / weight, 0.0, 1.0) : 0.0;
      }
    }
    result.Rooting.push_back(std::move(rooting));
  }
  return result;
}

// Whether every total, and every partial sum on the way to it, fits a 16-bit lane.
bool FitsNarrowLanes(const TOutlookInput& input) {
  constexpr int64_t kLimit = 32000;
  const int players = input.PlayerCount();
  for (int i = 0; i < players; ++i) {
    int64_t reach = std::abs(input.Base[static_cast<size_t>(i)]);
    for (int t = 0; t < input.TeamCount(); ++t) {
      for (int k = 2; k <= kLastRound; ++k)
        reach += std::abs(input.GainAt(t, k, i));
    }
    if (reach > kLimit)
      return false;
  }
  return true;
}

}  // namespace

// The seed model. Schwertman, McCready and Howard ("Probability models for the NCAA regional
// basketball tournaments", The American Statistician 45(1), 1991) fitted the tournament's
// results by seed with a chance that falls in a straight line with the difference of the
// seeds: P(seed a beats seed b) = 1/2 + 0.033 (b - a). It gives the 1 seed 99.5% against the
// 16 seed and even odds between equal seeds. The slope is the one the paper is known for; we
// quote it rather than refit it, since the fit to later tournaments differs little.
double SeedWinChance(int32_t seed, int32_t otherSeed) {
  return std::clamp(0.5 + 0.033 * static_cast<double>(otherSeed - seed), 0.0, 1.0);
}

const char* ModelName(TOutlookModel model) {
  return model == TOutlookModel::Seed ? "seed" : "even";
}

TOutlookResult ComputeOutlook(const TOutlookInput& input, const TOutlookOptions& options,
                              TOutlookProgress* progress) {
  TOutlookProgress own;
  TOutlookProgress& shared = progress ? *progress : own;
  if (FitsNarrowLanes(input))
    return Run<int16_t>(input, options, shared);
  return Run<int64_t>(input, options, shared);
}
