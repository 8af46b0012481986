#include "Outlook.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>
#include <type_traits>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "ChartPaths.h"
#include "FinishOrder.h"

// How the search goes. Outcomes are visited depth first, one game after another in slot order,
// which is round order, so both teams of a game are known when it is reached. Arrays over all
// players hold 16-bit lanes whenever no total can leave that range (64-bit, stopped at the
// int32 range as the standings stop them, otherwise); adding a winner's row of gains to one is
// a loop the compiler turns into vector instructions.
//
// Below the first games only the players who can still finish first are carried, each with
// the lowest and highest final total still open to them; each decided game moves those bounds
// by precomputed rows, and whoever can no longer reach the best sure total drops out, so the
// last rounds are played among a handful of players.
//
// Best and worst places are counted at every outcome when that is cheap (many players, few
// outcomes); otherwise each player's are searched for afterwards, branch and bound, and then
// the last games are not walked at all but played by table: every outcome of them is a lane
// of a vector, and a table made once says which of the teams standing before them wins each
// game in each lane. What each team a player picked there brings the player in every lane is
// worked out before the search, so a player's final totals in every lane are the total so far
// plus those of its teams that stand on their lines; a vector maximum over the players gives
// the best total of every outcome at once, and a comparison with it the lanes each player is
// first in. That part is compiled once for each kind of vector
// instructions and runs on the widest the processor has (EndGameLanes.inc).
//
// The first games of the tree are split into tasks, one outcome of those games each; worker
// threads take tasks in turn and keep tallies of their own, added up at the end.

namespace {

using TGame = TOutlookInput::TGame;

constexpr int kRowsPerTeam = TOutlookInput::kRounds;  // one per chart round, 0..7
constexpr int kPicks = TOutlookInput::kPicks;
constexpr int kLastRound = ChartPaths::kRounds;
constexpr int kChampionSlot = ChartPaths::kChampionSlot;
constexpr int kSlots = TOutlookInput::kSlots;
// Enough tasks that every thread stays busy to the end and progress moves smoothly, each
// still large enough that setting it up is little beside its outcomes.
constexpr int kTaskGames = 14;
constexpr int kGamesPerTask = 12;
constexpr int64_t kSampleBlock = 1024;
// A very large pool draws fewer outcomes (TOutlookOptions::SampleWork), but never fewer.
constexpr int64_t kFewestSamples = 1000;
// What the workers of a run may take in memory between them, beyond what they share.
constexpr double kWorkerMemory = 1e9;
// The last games played by table: their outcomes are the lanes of the end-game vectors.
constexpr int kEndGames = 8;
constexpr int kEndLanes = 1 << kEndGames;

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

// One 16-bit value per outcome of the end game.
struct alignas(64) TEndLanes {
  int16_t Lane[kEndLanes];
};

// One bit per lane.
using TEndBits = std::array<uint64_t, kEndLanes / 64>;

// The bits set in `bits`, without a call where the processor's own count may be missing.
inline int CountBits(uint64_t bits) {
#if defined(__POPCNT__)
  return __builtin_popcountll(bits);
#else
  bits -= (bits >> 1) & 0x5555555555555555ull;
  bits = (bits & 0x3333333333333333ull) + ((bits >> 2) & 0x3333333333333333ull);
  bits = (bits + (bits >> 4)) & 0x0f0f0f0f0f0f0f0full;
  return static_cast<int>((bits * 0x0101010101010101ull) >> 56);
#endif
}

// What the vector part of the end game reads and writes, for the contenders of one outcome of
// the games before it.
struct TEndGameWork {
  int Count = 0;                    // contenders
  const int* Players = nullptr;     // per contender
  const int16_t* Values = nullptr;  // per contender, the total so far
  // Per player, for each team it picked in the end game's rounds, what that team brings it in
  // every lane if it stands on its line: Gains[e] for GainTeam[e], e from GainsFrom[player] to
  // GainsFrom[player + 1].
  const size_t* GainsFrom = nullptr;
  const int32_t* GainTeam = nullptr;
  const TEndLanes* Gains = nullptr;
  // Per team, its line if it stands on one, Positions if not.
  const int* PositionOf = nullptr;
  int Positions = 0;
  const TEndLanes* Nothing = nullptr;  // all lanes nought
  const TEndBits* Used = nullptr;      // the lanes that are outcomes, not repeats of them
  TEndLanes* Totals = nullptr;         // per contender
  TEndBits* Bits = nullptr;            // per contender, the lanes it is first in
  TEndLanes* Firsts = nullptr;         // how many are first in each lane
  TEndBits* Sole = nullptr;            // the lanes only one is first in
};

#define END_VECTORS PlainVectors
#define END_VECTOR_BYTES 16
#include "EndGameLanes.inc"
#undef END_VECTORS
#undef END_VECTOR_BYTES

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define END_GAME_WIDE_VECTORS 1
#pragma GCC push_options
#pragma GCC target("avx2")
#define END_VECTORS Avx2Vectors
#define END_VECTOR_BYTES 32
#include "EndGameLanes.inc"
#undef END_VECTORS
#undef END_VECTOR_BYTES
#pragma GCC pop_options
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw")
#define END_VECTORS Avx512Vectors
#define END_VECTOR_BYTES 64
#include "EndGameLanes.inc"
#undef END_VECTORS
#undef END_VECTOR_BYTES
#pragma GCC pop_options
#endif

// The widest vector instructions the processor has, no wider than `most`.
TOutlookVectors WidestVectors(TOutlookVectors most) {
#if defined(END_GAME_WIDE_VECTORS)
  if (most == TOutlookVectors::Avx512 && __builtin_cpu_supports("avx512f") &&
      __builtin_cpu_supports("avx512bw"))
    return TOutlookVectors::Avx512;
  if (most != TOutlookVectors::Plain && __builtin_cpu_supports("avx2"))
    return TOutlookVectors::Avx2;
#else
  (void)most;
#endif
  return TOutlookVectors::Plain;
}

// The tallies of one worker. What each player wins is kept for the contenders only, the
// players who can still finish first, by their place among them; places are kept for every
// player.
struct TTally {
  int Count = 0;      // contenders
  int Champions = 0;  // teams that can still be champion
  std::vector<double> Won, Tied, Share;
  std::vector<double> Champion;       // contender * Champions + champion; every outcome visited
  std::vector<int> Best, Worst;       // per player
  std::vector<double> Rooting;        // (game * 2 + side) * Count + contender; visited
  std::vector<double> RootingWeight;  // game * 2 + side; counted only when sampling
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

  void Init(int count, int players, int champions, int rootingGames, bool sampled) {
    Count = count;
    Champions = champions;
    const size_t n = static_cast<size_t>(count);
    Won.assign(n, 0);
    Tied.assign(n, 0);
    Share.assign(n, 0);
    Best.assign(static_cast<size_t>(players), std::numeric_limits<int>::max());
    Worst.assign(static_cast<size_t>(players), 0);
    RootingWeight.assign(static_cast<size_t>(rootingGames) * 2, 0);
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
    sum(Champion, other.Champion);
    sum(Rooting, other.Rooting);
    sum(RootingWeight, other.RootingWeight);
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

// Runs `work(from, to)` over parts of 0..count-1 on up to `threads` threads.
template <typename TWork>
void SplitOverThreads(int threads, int64_t count, TWork work) {
  const int64_t parts = std::max<int64_t>(1, std::min<int64_t>(threads, count / 1024));
  std::vector<std::thread> pool;
  for (int64_t part = 1; part < parts; ++part)
    pool.emplace_back(work, count * part / parts, count * (part + 1) / parts);
  work(int64_t{0}, count / parts);
  for (auto& thread : pool)
    thread.join();
}

// How the outlook goes about it, chosen before the search from what each way would cost.
struct TWay {
  bool Exact = true;
  // Every player ranked at every outcome; otherwise, when exact, each player's best and worst
  // places are searched for apart, and the last games are played by table.
  bool RankAll = true;
  int64_t Samples = 0;
};

// What every worker reads: the input laid out in lanes, and what is known before searching.
//
// Only the contenders, the players whose highest final total reaches the best lowest one,
// are carried through the search: the others can finish first in no outcome. Their rows are
// kept for the (team, round) pairs a game can still bring, so a pool late in the tournament
// needs few. Every player's rows are kept too only where every player is ranked at every
// outcome, or drawn outcomes are.
template <typename TLane>
struct TPlan {
  const TOutlookInput& In;
  const TOutlookOptions& Options;
  int Players = 0;
  int Teams = 0;
  int GameCount = 0;
  TWay Way;
  // The contenders: the player of each, and each player's place among them (-1: none).
  std::vector<int> Contenders;
  std::vector<int> ContenderOf;
  int Count = 0;
  size_t Stride = 0;     // a row over the contenders
  size_t AllStride = 0;  // a row over every player
  // The row of each (team, round) pair that has one, team * kRowsPerTeam + round; -1: none.
  std::vector<int> RowOf;
  int RowCount = 0;
  // The same for every player's rows, which hold gains only: a game brings the pair.
  std::vector<int> AllRowOf;
  int AllRowCount = 0;
  // Per contender: the total so far.
  std::vector<TLane> Base;
  // Row (team, round): the gain for each contender when the team reaches that chart round.
  std::vector<TLane> Gain;
  // Row (team, round): the most and the least a team standing in that round can still add.
  std::vector<TLane> MaxGain, MinGain;
  // Row (team, round k): how a contender's bounds move when the team wins its game into round
  // k, and when it loses it. Lowest: WinLo, LoseLo; highest: WinHi, LoseHi.
  std::vector<TLane> WinLo, LoseLo, WinHi, LoseHi;
  // Every player's total so far and gains, where every player is ranked.
  std::vector<TLane> AllBase, AllGain;
  // Per slot: the game that fills it (-1: none), and the teams that can stand on it once that
  // game has been played.
  std::array<int, kSlots + 1> GameAt{};
  std::array<std::vector<int32_t>, kSlots + 1> Candidates;
  // The teams that can still be champion: each team's place among them, -1 for none.
  std::vector<int> ChampionOf;
  int Champions = 0;
  // Per player, the exact highest and lowest final totals, and the places they rule out.
  std::vector<int64_t> Max, Min;
  std::vector<int> StaticBest, StaticWorst;
  // A row of nothing, for the loser of a game no one else plays and for pairs without a row.
  std::vector<TLane> Zero, AllZero;
  // The rooting games (indexes into Games) and the depth by which all of them are decided.
  std::vector<int> RootingGames;
  int SnapDepth = -1;
  int TaskDepth = 0;
  int TaskBits = 0;
  // The slots whose teams can still win a game from the task depth on, and their rounds.
  std::vector<int> TaskAlive, TaskAliveRounds;
  // How far apart the final totals can lie, the span a count of them by value needs.
  int64_t Spread = 0;
  // The end game, from EndDepth on, when places are searched for apart: the lines whose teams
  // play it (its positions), what each contender's picks there bring in every lane (see
  // TEndGameWork), and in each lane the position of the champion.
  int EndDepth = 0;
  int EndBits = 0;      // its real games
  int EndOutcomes = 1;  // lanes beyond these repeat the first ones and are not counted
  std::vector<int> EndAlive;
  std::vector<size_t> EndGainsFrom;
  std::vector<int32_t> EndGainTeam;
  std::vector<TEndLanes> EndGains;
  TEndLanes EndNothing{};
  std::vector<int> EndChampion;
  TEndBits EndUsed{};
  // Per real game of the end game, in order, and per outcome of the games before it: the
  // positions of its two sides. Outcome bit r is real game r's side.
  // Each as first * positions + second.
  std::vector<int> EndSides;
  TOutlookVectors EndVectors = TOutlookVectors::Plain;
  // The model's chance that the first team beats the second: Teams * Teams.
  std::vector<double> TeamChance;

  TPlan(const TOutlookInput& input, const TOutlookOptions& options) : In(input), Options(options) {
    Players = input.PlayerCount();
    Teams = input.TeamCount();
    GameCount = static_cast<int>(input.Games.size());
    PlanSlots();
    PlanRows();
    ExtremeTotals();
    PlanContenders();
    PlanRooting();
    PlanDepths();
    ChooseWay();
    ContenderRows();
    if (Way.RankAll || !Way.Exact)
      PlayerRows();
    PlanEndGame();
    TeamChance.resize(static_cast<size_t>(Teams) * static_cast<size_t>(Teams), 0.5);
    for (int a = 0; a < Teams && Options.Model == TOutlookModel::Seed; ++a) {
      for (int b = 0; b < Teams; ++b)
        TeamChance[static_cast<size_t>(a) * static_cast<size_t>(Teams) + static_cast<size_t>(b)] =
            SeedWinChance(In.Seeds[static_cast<size_t>(a)], In.Seeds[static_cast<size_t>(b)]);
    }
  }

  int RowIndex(int team, int round) const {
    return RowOf[static_cast<size_t>(team) * kRowsPerTeam + static_cast<size_t>(round)];
  }
  TLane* Row(std::vector<TLane>& rows, int team, int round) {
    return rows.data() + static_cast<size_t>(RowIndex(team, round)) * Stride;
  }
  const TLane* Row(const std::vector<TLane>& rows, int team, int round) const {
    const int row = RowIndex(team, round);
    return row < 0 ? Zero.data() : rows.data() + static_cast<size_t>(row) * Stride;
  }
  const TLane* GainRow(int team, int round) const { return Row(Gain, team, round); }
  // The place among the teams that can be champion of the team on the champion's line of
  // `occupant`, -1 when it is empty.
  int ChampionOn(const std::array<int32_t, kSlots + 1>& occupant) const {
    const int32_t team = occupant[kChampionSlot];
    return team < 0 ? -1 : ChampionOf[static_cast<size_t>(team)];
  }
  // A row of gains over every player.
  const TLane* AllGainRow(int team, int round) const {
    const int row = AllRowOf[static_cast<size_t>(team) * kRowsPerTeam + static_cast<size_t>(round)];
    return row < 0 ? AllZero.data() : AllGain.data() + static_cast<size_t>(row) * AllStride;
  }

  // The chance that side `side` of a game between `teams` wins it, as the model weighs it.
  double Chance(const std::array<int32_t, 2>& teams, int side) const {
    return TeamChance[static_cast<size_t>(teams[static_cast<size_t>(side)]) *
                          static_cast<size_t>(Teams) +
                      static_cast<size_t>(teams[static_cast<size_t>(1 - side)])];
  }

  // The team that will stand on `slot` before any game of its round is played: the team on
  // it, or the one that goes through an empty line unopposed.
  int32_t FixedTeam(int32_t slot) const {
    while (In.Occupant[static_cast<size_t>(slot)] < 0) {
      const int game = GameAt[static_cast<size_t>(slot)];
      if (game < 0 || In.Games[static_cast<size_t>(game)].Real)
        return -1;
      slot = In.Games[static_cast<size_t>(game)].Feeder[0];
    }
    return In.Occupant[static_cast<size_t>(slot)];
  }

  // Which game fills each slot, and the teams that can stand on it.
  void PlanSlots() {
    GameAt.fill(-1);
    for (int g = 0; g < GameCount; ++g)
      GameAt[static_cast<size_t>(In.Games[static_cast<size_t>(g)].Slot)] = g;
    for (int slot = 1; slot <= kSlots; ++slot) {
      const int32_t team = In.Occupant[static_cast<size_t>(slot)];
      if (team >= 0) {
        Candidates[static_cast<size_t>(slot)] = {team};
      } else if (GameAt[static_cast<size_t>(slot)] >= 0) {
        const TGame& game = In.Games[static_cast<size_t>(GameAt[static_cast<size_t>(slot)])];
        for (int side = 0; side < (game.Real ? 2 : 1); ++side) {
          const auto& from =
              Candidates[static_cast<size_t>(game.Feeder[static_cast<size_t>(side)])];
          Candidates[static_cast<size_t>(slot)].insert(Candidates[static_cast<size_t>(slot)].end(),
                                                       from.begin(), from.end());
        }
      }
    }
    ChampionOf.assign(static_cast<size_t>(Teams), -1);
    for (const int32_t team : Candidates[kChampionSlot])
      ChampionOf[static_cast<size_t>(team)] = Champions++;
  }

  // The (team, round) pairs that get rows: the rounds a team can still win its way into, and
  // the round it stands in before each of those games.
  void PlanRows() {
    RowOf.assign(static_cast<size_t>(Teams) * kRowsPerTeam, -1);
    AllRowOf.assign(RowOf.size(), -1);
    for (const TGame& game : In.Games) {
      for (const int32_t team : Candidates[static_cast<size_t>(game.Slot)]) {
        const size_t pair = static_cast<size_t>(team) * kRowsPerTeam;
        for (const int round : {game.Round - 1, game.Round}) {
          int& row = RowOf[pair + static_cast<size_t>(round)];
          if (row < 0)
            row = RowCount++;
        }
        int& gain = AllRowOf[pair + static_cast<size_t>(game.Round)];
        if (gain < 0)
          gain = AllRowCount++;
      }
    }
  }

  // The exact highest and lowest final total of each player: over the bracket of games left,
  // for each line and each team that can get to it, the most and least the player can have
  // gained below that line with that team on it. Player by player, on every thread.
  void ExtremeTotals() {
    Max.assign(static_cast<size_t>(Players), 0);
    Min.assign(static_cast<size_t>(Players), 0);
    SplitOverThreads(Threads(), Players, [this](int64_t from, int64_t to) {
      std::vector<int64_t> gains(static_cast<size_t>(Teams) * kRowsPerTeam);
      std::array<std::vector<int64_t>, kSlots + 1> most, least;
      for (int slot = 1; slot <= kSlots; ++slot) {
        most[static_cast<size_t>(slot)].assign(Candidates[static_cast<size_t>(slot)].size(), 0);
        least[static_cast<size_t>(slot)].assign(Candidates[static_cast<size_t>(slot)].size(), 0);
      }
      for (int64_t i = from; i < to; ++i)
        PlayerExtremes(static_cast<int>(i), gains.data(), most, least);
    });
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

  void PlayerExtremes(int i, int64_t* gains, std::array<std::vector<int64_t>, kSlots + 1>& most,
                      std::array<std::vector<int64_t>, kSlots + 1>& least) {
    auto extreme = [](const std::vector<int64_t>& values, bool highest) {
      int64_t result = values.front();
      for (const int64_t v : values)
        result = highest ? std::max(result, v) : std::min(result, v);
      return result;
    };
    In.GainsOf(i, gains);
    int64_t high = In.Base[static_cast<size_t>(i)];
    int64_t low = high;
    for (const TGame& game : In.Games) {
      const size_t s = static_cast<size_t>(game.Slot);
      size_t at = 0;
      for (int side = 0; side < (game.Real ? 2 : 1); ++side) {
        const size_t own = static_cast<size_t>(game.Feeder[static_cast<size_t>(side)]);
        const size_t other = static_cast<size_t>(game.Feeder[static_cast<size_t>(1 - side)]);
        for (size_t c = 0; c < Candidates[own].size(); ++c, ++at) {
          const int64_t gain = gains[static_cast<size_t>(Candidates[own][c]) * kRowsPerTeam +
                                     static_cast<size_t>(game.Round)];
          most[s][at] = most[own][c] + gain + (game.Real ? extreme(most[other], true) : 0);
          least[s][at] = least[own][c] + gain + (game.Real ? extreme(least[other], false) : 0);
        }
      }
      // A line whose winner goes no further closes its part of the bracket.
      const bool top = game.Slot == kChampionSlot ||
                       GameAt[static_cast<size_t>(ChartPaths::NextSlot(game.Slot))] < 0;
      if (top) {
        high += extreme(most[s], true);
        low += extreme(least[s], false);
      }
    }
    Max[static_cast<size_t>(i)] = Saturate(high);
    Min[static_cast<size_t>(i)] = Saturate(low);
  }

  // The contenders: whoever can reach the best total some player is sure of. The others are
  // below that player in every outcome.
  void PlanContenders() {
    int64_t sure = std::numeric_limits<int64_t>::min();
    for (const int64_t low : Min)
      sure = std::max(sure, low);
    ContenderOf.assign(static_cast<size_t>(Players), -1);
    for (int i = 0; i < Players; ++i) {
      if (Max[static_cast<size_t>(i)] < sure)
        continue;
      ContenderOf[static_cast<size_t>(i)] = Count++;
      Contenders.push_back(i);
    }
    Stride = (static_cast<size_t>(Count) + 31) & ~size_t{31};
    AllStride = (static_cast<size_t>(Players) + 31) & ~size_t{31};
  }

  int Threads() const {
    return Options.Threads > 0 ? Options.Threads
                               : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  }

  // The threads the search runs on: as many as asked for, but no more than the memory each
  // one's tallies and walk take leaves room for, so that a pool of a million contenders on a
  // machine of many cores still fits.
  int Workers() const {
    const double count = static_cast<double>(Count);
    const double players = static_cast<double>(Players);
    const double depths = GameCount + 1;
    const double lane = sizeof(TLane);
    // Wins, champions and rooting sides per contender, places per player.
    double each = count * (3 + Champions + 2.0 * static_cast<double>(RootingGames.size())) * 8 +
                  players * 2 * sizeof(int);
    if (!Way.Exact) {
      each += static_cast<double>(AllStride) * lane;
    } else if (Way.RankAll || EndDepth == GameCount) {
      each += depths * (count * (sizeof(int) + 3 * lane) +
                        (Way.RankAll ? static_cast<double>(AllStride) * lane : 0));
    } else {
      each += depths * count * (sizeof(int) + 3 * lane) + count * sizeof(TEndLanes);
      // Searching places apart: every player's gains against each other's.
      each += 3.0 * RowCount * players * 8 + depths * players * 28;
    }
    const int fit = static_cast<int>(kWorkerMemory / std::max(1.0, each));
    return std::clamp(fit, 1, Threads());
  }

  // Every outcome visited, or drawn ones: visited while the work stays within what a run may
  // take, players ranked at every outcome where that costs less than searching places apart.
  // Ranking costs the players and the span of their totals at every outcome; searching each
  // player's places apart costs every other player's gains for every player.
  void ChooseWay() {
    const double outcomes = std::ldexp(1.0, In.RealGames());
    const double players = static_cast<double>(Players);
    const double rank = outcomes * (2 * players + static_cast<double>(Spread));
    const double search = 2 * players * players * std::max(1, RowCount);
    // The winners are searched for among the contenders, through the games above the end game.
    const double winners =
        std::ldexp(1.0, std::max(0, In.RealGames() - kEndGames)) * static_cast<double>(Count);
    Way.Exact = In.RealGames() <= Options.MaxExactGames &&
                std::min(rank, search) + winners <= Options.ExactWork;
    Way.RankAll = !Way.Exact || !std::is_same_v<TLane, int16_t> || rank <= Options.RankBudget ||
                  rank <= search;
    // Fewer draws for a very large pool: each ranks every player.
    Way.Samples =
        Way.Exact
            ? 0
            : std::max<int64_t>(
                  1, std::min<int64_t>(
                         Options.Samples,
                         std::max<int64_t>(
                             kFewestSamples,
                             static_cast<int64_t>(Options.SampleWork / std::max(1.0, players)))));
  }

  // The contenders' rows, worked out contender by contender from their picks.
  void ContenderRows() {
    const size_t rows = static_cast<size_t>(RowCount) * Stride;
    Base.assign(Stride, 0);
    Zero.assign(Stride, 0);
    if (!Way.Exact)
      return;
    Gain.assign(rows, 0);
    MaxGain.assign(rows, 0);
    MinGain.assign(rows, 0);
    WinLo.assign(rows, 0);
    LoseLo.assign(rows, 0);
    WinHi.assign(rows, 0);
    LoseHi.assign(rows, 0);
    SplitOverThreads(Threads(), Count, [this](int64_t from, int64_t to) {
      std::vector<int64_t> gains(static_cast<size_t>(Teams) * kRowsPerTeam);
      for (int64_t c = from; c < to; ++c)
        ContenderRow(static_cast<int>(c), gains.data());
    });
  }

  void ContenderRow(int c, int64_t* gains) {
    const int i = Contenders[static_cast<size_t>(c)];
    In.GainsOf(i, gains);
    Base[static_cast<size_t>(c)] = static_cast<TLane>(In.Base[static_cast<size_t>(i)]);
    for (int t = 0; t < Teams; ++t) {
      const int64_t* gain = gains + static_cast<size_t>(t) * kRowsPerTeam;
      // Going on from round r: the best and worst of stopping after any later round it can
      // still win its way into.
      std::array<int64_t, kRowsPerTeam> most{}, least{};
      for (int r = 1; r <= kLastRound; ++r) {
        int64_t run = 0;
        for (int k = r + 1; k <= kLastRound && RowIndex(t, k) >= 0; ++k) {
          run += gain[k];
          most[static_cast<size_t>(r)] = std::max(most[static_cast<size_t>(r)], run);
          least[static_cast<size_t>(r)] = std::min(least[static_cast<size_t>(r)], run);
        }
      }
      for (int k = 1; k <= kLastRound; ++k) {
        if (RowIndex(t, k) < 0)
          continue;
        Row(Gain, t, k)[c] = static_cast<TLane>(gain[k]);
        Row(MaxGain, t, k)[c] = static_cast<TLane>(most[static_cast<size_t>(k)]);
        Row(MinGain, t, k)[c] = static_cast<TLane>(least[static_cast<size_t>(k)]);
        if (k < 2 || RowIndex(t, k - 1) < 0)
          continue;
        // A winner moves from round k-1 to k and takes its gain; a loser's future goes.
        const size_t was = static_cast<size_t>(k - 1);
        Row(WinLo, t, k)[c] =
            static_cast<TLane>(gain[k] + least[static_cast<size_t>(k)] - least[was]);
        Row(LoseLo, t, k)[c] = static_cast<TLane>(-least[was]);
        Row(WinHi, t, k)[c] =
            static_cast<TLane>(gain[k] + most[static_cast<size_t>(k)] - most[was]);
        Row(LoseHi, t, k)[c] = static_cast<TLane>(-most[was]);
      }
    }
  }

  // Every player's total so far and gains, for ranking every player.
  void PlayerRows() {
    AllBase.assign(AllStride, 0);
    AllZero.assign(AllStride, 0);
    AllGain.assign(static_cast<size_t>(AllRowCount) * AllStride, 0);
    SplitOverThreads(Threads(), Players, [this](int64_t from, int64_t to) {
      std::vector<int64_t> gains(static_cast<size_t>(Teams) * kRowsPerTeam);
      for (int64_t i = from; i < to; ++i) {
        In.GainsOf(static_cast<int>(i), gains.data());
        AllBase[static_cast<size_t>(i)] = static_cast<TLane>(In.Base[static_cast<size_t>(i)]);
        for (size_t pair = 0; pair < AllRowOf.size(); ++pair) {
          if (AllRowOf[pair] >= 0)
            AllGain[static_cast<size_t>(AllRowOf[pair]) * AllStride + static_cast<size_t>(i)] =
                static_cast<TLane>(gains[pair]);
        }
      }
    });
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
    // Tasks: the outcomes of the first real games.
    TaskDepth = 0;
    TaskBits = 0;
    const int taskGames = std::clamp(In.RealGames() - kGamesPerTask, 0, kTaskGames);
    while (TaskDepth < GameCount && TaskBits < taskGames) {
      if (In.Games[static_cast<size_t>(TaskDepth)].Real)
        ++TaskBits;
      ++TaskDepth;
    }
    SnapDepth = RootingGames.empty() ? -1 : std::max(lastRooting + 1, TaskDepth);
    TaskAlive = AliveAt(TaskDepth);
    for (const int slot : TaskAlive)
      TaskAliveRounds.push_back(ChartPaths::SlotRound(slot));
  }

  // The end game: the last real games, no more than kEndGames of them, and none that the
  // tasks or the rooting guide split on. Ranking everyone, as wide lanes always do, needs
  // every outcome's totals, so then there is none.
  void PlanEndGame() {
    EndDepth = GameCount;
    if (!Way.Exact || Way.RankAll)
      return;
    EndVectors = WidestVectors(Options.Vectors);
    int real = 0;
    while (EndDepth > std::max(TaskDepth, SnapDepth)) {
      const bool next = In.Games[static_cast<size_t>(EndDepth - 1)].Real;
      if (next && real == kEndGames)
        break;
      real += next ? 1 : 0;
      --EndDepth;
    }
    if (EndDepth == GameCount)
      return;
    EndBits = real;
    EndOutcomes = 1 << real;
    EndAlive = AliveAt(EndDepth);
    std::array<int, kSlots + 1> positionOf;
    positionOf.fill(-1);
    for (size_t a = 0; a < EndAlive.size(); ++a)
      positionOf[static_cast<size_t>(EndAlive[a])] = static_cast<int>(a);
    const int games = GameCount - EndDepth;
    // Who stands on each line in each outcome, game by game.
    std::vector<int> winner(static_cast<size_t>(EndOutcomes * games));
    std::vector<int> firstSide(static_cast<size_t>(EndOutcomes * games));
    for (int o = 0; o < EndOutcomes; ++o) {
      std::array<int, kSlots + 1> on = positionOf;
      int bit = 0;
      for (int g = 0; g < games; ++g) {
        const TGame& game = In.Games[static_cast<size_t>(EndDepth + g)];
        const int side = game.Real ? (o >> bit++) & 1 : 0;
        const size_t at = static_cast<size_t>(o * games + g);
        firstSide[at] = on[static_cast<size_t>(game.Feeder[0])];
        winner[at] = on[static_cast<size_t>(game.Feeder[static_cast<size_t>(side)])];
        on[static_cast<size_t>(game.Slot)] = winner[at];
      }
    }
    // Per line, the round of each game its team can win, with the lanes in which it wins it.
    std::vector<std::vector<std::pair<int, TEndLanes>>> wins(EndAlive.size());
    for (int g = 0; g < games; ++g) {
      const TGame& game = In.Games[static_cast<size_t>(EndDepth + g)];
      for (size_t position = 0; position < EndAlive.size(); ++position) {
        TEndLanes mask;
        bool any = false;
        for (int lane = 0; lane < kEndLanes; ++lane) {
          const bool here = winner[static_cast<size_t>((lane % EndOutcomes) * games + g)] ==
                            static_cast<int>(position);
          mask.Lane[lane] = here ? -1 : 0;
          any = any || here;
        }
        if (any)
          wins[position].emplace_back(game.Round, mask);
      }
    }
    // A team can stand on one line only, the one its path crosses: what it brings each player
    // is fixed before the search.
    for (int c = 0; c < Count; ++c) {
      EndGainsFrom.push_back(EndGains.size());
      for (size_t position = 0; position < EndAlive.size(); ++position) {
        for (const int32_t team : Candidates[static_cast<size_t>(EndAlive[position])]) {
          TEndLanes gains{};
          bool any = false;
          for (const auto& [round, mask] : wins[position]) {
            const TLane gain = GainRow(team, round)[c];
            for (int lane = 0; lane < kEndLanes; ++lane)
              gains.Lane[lane] = static_cast<int16_t>(gains.Lane[lane] + (mask.Lane[lane] & gain));
            any = any || gain != 0;
          }
          if (any) {
            EndGainTeam.push_back(team);
            EndGains.push_back(gains);
          }
        }
      }
    }
    EndGainsFrom.push_back(EndGains.size());
    for (int o = 0; o < EndOutcomes && games > 0; ++o) {
      EndChampion.push_back(winner[static_cast<size_t>(o * games + games - 1)]);
      EndUsed[static_cast<size_t>(o / 64)] |= uint64_t{1} << (o % 64);
    }
    // The sides of real game r depend on the outcomes of the real games before it only.
    int bit = 0;
    for (int g = 0; g < games; ++g) {
      const TGame& game = In.Games[static_cast<size_t>(EndDepth + g)];
      if (!game.Real)
        continue;
      for (int before = 0; before < (1 << bit); ++before) {
        const size_t at = static_cast<size_t>(before * games + g);
        const int first = firstSide[at];
        // The other side: the winner of this game in the outcome where it goes that way.
        const int second = winner[static_cast<size_t>((before | (1 << bit)) * games + g)];
        EndSides.push_back(first * static_cast<int>(EndAlive.size()) + second);
      }
      ++bit;
    }
  }

  // The slots whose teams play the games from `depth` on without having to win one first.
  std::vector<int> AliveAt(int depth) const {
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
    return alive;
  }
};

// Every player's place in one outcome: by counting totals when they lie close together, by
// sorting them otherwise.
template <typename TLane>
class TRanker {
 public:
  void PlaceAll(const TLane* totals, int players, TTally& tally) {
    if (players == 0)
      return;
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

// One worker's depth-first walk over every outcome of its tasks. It carries only the players
// who can still finish first below the current outcome, each with a total and the lowest and
// highest total still open to them; after every game those whose highest falls short of the
// best lowest drop out, so the last games are played among a handful of players. When the run
// ranks everyone at every outcome, every player's total is carried in full lanes as well.
template <typename TLane>
class TWinnerSearch {
 public:
  TWinnerSearch(const TPlan<TLane>& plan, TTally& tally, const TOutlookProgress& progress)
      : P(plan), FTally(tally), FProgress(progress) {
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
    FShareBefore.resize(n);
    if (P.EndDepth < P.GameCount)
      FEnd.resize(n);
    FEndTeams.resize(P.EndAlive.size());
    FPairChance.resize(P.EndAlive.size() * P.EndAlive.size());
    FEndPosition.assign(static_cast<size_t>(P.Teams), static_cast<int>(P.EndAlive.size()));
    FEndChampion.resize(2 * P.EndAlive.size());
    FEndChampionLanes.resize(2 * P.EndAlive.size());
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
      AddRow(FRoot.data(), FRoot.data(), P.GainRow(winner, game.Round), P.Count);
      if (P.Way.RankAll)
        AddRow(Totals(d + 1), Totals(d), P.AllGainRow(winner, game.Round), P.Players);
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
    TLane sure = std::numeric_limits<TLane>::min();
    for (size_t c = 0; c < n; ++c)
      sure = std::max(sure, Level(FRootLo[c]));
    const size_t at = static_cast<size_t>(P.TaskDepth) * n;
    int count = 0;
    for (size_t c = 0; c < n; ++c) {
      if (Level(FRootHi[c]) < sure)
        continue;
      const size_t k = at + static_cast<size_t>(count++);
      FIds[k] = static_cast<int>(c);
      FValue[k] = FRoot[c];
      FLo[k] = FRootLo[c];
      FHi[k] = FRootHi[c];
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
        EndGame(depth, weight);
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
      Step(depth, winner, game.Real ? teams[static_cast<size_t>(1 - side)] : -1, game.Round);
      if (P.Way.RankAll)
        AddRow(Totals(depth + 1), Totals(depth), P.AllGainRow(winner, game.Round), P.Players);
      Walk(depth + 1, game.Real ? weight * P.Chance(teams, side) : weight);
    }
  }

  // The contenders after `winner` beats `loser` (-1: none) into `round`: totals and bounds
  // moved, then those who can no longer reach the best sure total left out.
  void Step(int depth, int32_t winner, int32_t loser, int round) {
    const size_t n = static_cast<size_t>(P.Count);
    const size_t from = static_cast<size_t>(depth) * n;
    const size_t to = from + n;
    const int count = FCount[static_cast<size_t>(depth)];
    const TLane* gain = P.GainRow(winner, round);
    const TLane* winLo = P.Row(P.WinLo, winner, round);
    const TLane* winHi = P.Row(P.WinHi, winner, round);
    const TLane* loseLo = loser >= 0 ? P.Row(P.LoseLo, loser, round) : P.Zero.data();
    const TLane* loseHi = loser >= 0 ? P.Row(P.LoseHi, loser, round) : P.Zero.data();
    TLane sure = std::numeric_limits<TLane>::min();
    for (int c = 0; c < count; ++c) {
      const int i = FIds[from + static_cast<size_t>(c)];
      const size_t k = to + static_cast<size_t>(c);
      FValue[k] = static_cast<TLane>(FValue[from + static_cast<size_t>(c)] + gain[i]);
      FLo[k] = static_cast<TLane>(FLo[from + static_cast<size_t>(c)] + winLo[i] + loseLo[i]);
      FHi[k] = static_cast<TLane>(FHi[from + static_cast<size_t>(c)] + winHi[i] + loseHi[i]);
      sure = std::max(sure, Level(FLo[k]));
    }
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

  // Below the depth where every game of the next round is decided, the shares won are
  // credited to the sides those games went to.
  void Snapshot(int depth, double weight) {
    const size_t n = static_cast<size_t>(P.Count);
    std::copy(FTally.Share.begin(), FTally.Share.end(), FShareBefore.begin());
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
    for (size_t i = 0; i < n; ++i) {
      const double gained = FTally.Share[i] - FShareBefore[i];
      if (gained == 0)
        continue;
      for (size_t j = 0; j < P.RootingGames.size(); ++j)
        FTally.Rooting[rows[j] + i] += gained;
    }
  }

  // Every outcome of the end game at once, one lane each, among the players still carried: in
  // a copy compiled for the processor's widest vectors where it has them.
  void EndGame(int depth, double weight) {
    if (FCount[static_cast<size_t>(depth)] == 0)
      return;
    for (size_t a = 0; a < P.EndAlive.size(); ++a)
      FEndTeams[a] = FOcc[static_cast<size_t>(P.EndAlive[a])];
    const size_t positions = P.EndAlive.size();
    for (size_t a = 0; a < positions; ++a)
      FEndPosition[static_cast<size_t>(FEndTeams[a])] = static_cast<int>(a);
    const size_t at = static_cast<size_t>(depth) * static_cast<size_t>(P.Count);
    const int count = FCount[static_cast<size_t>(depth)];
    FEndBits.resize(static_cast<size_t>(count));
    TEndGameWork work;
    work.Count = count;
    work.Players = &FIds[at];
    work.Values = &FValue[at];
    work.GainsFrom = P.EndGainsFrom.data();
    work.GainTeam = P.EndGainTeam.data();
    work.Gains = P.EndGains.data();
    work.PositionOf = FEndPosition.data();
    work.Positions = static_cast<int>(positions);
    work.Nothing = &P.EndNothing;
    work.Used = &P.EndUsed;
    work.Totals = FEnd.data();
    work.Bits = FEndBits.data();
    work.Firsts = &FEndFirsts;
    work.Sole = &FEndSole;
    switch (P.EndVectors) {
#if defined(END_GAME_WIDE_VECTORS)
      case TOutlookVectors::Avx512:
        Avx512Vectors::PlayEndGame(work);
        break;
      case TOutlookVectors::Avx2:
        Avx2Vectors::PlayEndGame(work);
        break;
#endif
      default:
        PlainVectors::PlayEndGame(work);
    }
    for (size_t a = 0; a < positions; ++a)
      FEndPosition[static_cast<size_t>(FEndTeams[a])] = static_cast<int>(positions);
    // Even chances weigh every lane alike, so lanes are counted; otherwise each is weighed.
    const bool even = P.Options.Model == TOutlookModel::Even;
    const double each = std::ldexp(weight, -P.EndBits);
    if (!even)
      LaneWeights(weight);
    for (int c = 0; c < count; ++c) {
      const TEndBits& lanes = FEndBits[static_cast<size_t>(c)];
      if (std::all_of(lanes.begin(), lanes.end(), [](uint64_t word) { return word == 0; }))
        continue;
      const size_t contender = static_cast<size_t>(FIds[at + static_cast<size_t>(c)]);
      double* champions = &FTally.Champion[contender * static_cast<size_t>(P.Champions)];
      double won = 0, tied = 0, share = 0;
      if (even) {
        std::fill(FEndChampionLanes.begin(), FEndChampionLanes.end(), 0);
        for (size_t word = 0; word < lanes.size(); ++word) {
          for (uint64_t bits = lanes[word]; bits != 0; bits &= bits - 1) {
            const size_t lane = word * 64 + static_cast<size_t>(__builtin_ctzll(bits));
            ++FEndChampionLanes[2 * static_cast<size_t>(P.EndChampion[lane]) + (lane & 1)];
          }
          won += CountBits(lanes[word] & FEndSole[word]);
          for (uint64_t bits = lanes[word] & ~FEndSole[word]; bits != 0; bits &= bits - 1) {
            tied += 1;
            share += 1.0 / FEndFirsts.Lane[word * 64 + static_cast<size_t>(__builtin_ctzll(bits))];
          }
        }
        won *= each;
        tied *= each;
        share = won + share * each;
        for (size_t a = 0; a < positions; ++a) {
          if (const int k = P.ChampionOf[static_cast<size_t>(FEndTeams[a])]; k >= 0)
            champions[k] += (FEndChampionLanes[2 * a] + FEndChampionLanes[2 * a + 1]) * each;
        }
      } else {
        std::fill(FEndChampion.begin(), FEndChampion.end(), 0.0);
        for (size_t word = 0; word < lanes.size(); ++word) {
          for (uint64_t bits = lanes[word] & FEndSole[word]; bits != 0; bits &= bits - 1) {
            const size_t lane = word * 64 + static_cast<size_t>(__builtin_ctzll(bits));
            won += FLaneWeight[lane];
            FEndChampion[2 * static_cast<size_t>(P.EndChampion[lane]) + (lane & 1)] +=
                FLaneWeight[lane];
          }
          for (uint64_t bits = lanes[word] & ~FEndSole[word]; bits != 0; bits &= bits - 1) {
            const size_t lane = word * 64 + static_cast<size_t>(__builtin_ctzll(bits));
            tied += FLaneWeight[lane];
            share += FLaneWeight[lane] / FEndFirsts.Lane[lane];
            FEndChampion[2 * static_cast<size_t>(P.EndChampion[lane]) + (lane & 1)] +=
                FLaneWeight[lane];
          }
        }
        share += won;
        for (size_t a = 0; a < positions; ++a) {
          if (const int k = P.ChampionOf[static_cast<size_t>(FEndTeams[a])]; k >= 0)
            champions[k] += FEndChampion[2 * a] + FEndChampion[2 * a + 1];
        }
      }
      FTally.Won[contender] += won;
      FTally.Tied[contender] += tied;
      FTally.Share[contender] += share;
    }
  }

  // The weight of each outcome of the end game below an outcome of weight `weight`, games
  // weighed by the seeds: the chance of each pairing on the lines taken once.
  void LaneWeights(double weight) {
    const size_t positions = P.EndAlive.size();
    for (size_t a = 0; a < positions; ++a) {
      for (size_t b = 0; b < positions; ++b)
        FPairChance[a * positions + b] = P.Chance({FEndTeams[a], FEndTeams[b]}, 0);
    }
    FLaneWeight.assign(static_cast<size_t>(P.EndOutcomes), weight);
    size_t sides = 0;
    for (int span = 1; span < P.EndOutcomes; span *= 2) {
      for (int before = 0; before < span; ++before) {
        const double chance = FPairChance[static_cast<size_t>(P.EndSides[sides++])];
        double& lane = FLaneWeight[static_cast<size_t>(before)];
        FLaneWeight[static_cast<size_t>(before + span)] = lane * (1 - chance);
        lane *= chance;
      }
    }
  }

  void Outcome(double weight) {
    const size_t at = static_cast<size_t>(P.GameCount) * static_cast<size_t>(P.Count);
    const int count = FCount[static_cast<size_t>(P.GameCount)];
    TLane top = std::numeric_limits<TLane>::min();
    for (int c = 0; c < count; ++c)
      top = std::max(top, Level(FValue[at + static_cast<size_t>(c)]));
    FFirst.clear();
    for (int c = 0; c < count; ++c) {
      if (Level(FValue[at + static_cast<size_t>(c)]) == top)
        FFirst.push_back(FIds[at + static_cast<size_t>(c)]);
    }
    if (!FFirst.empty())
      FTally.AddFirst(FFirst, P.ChampionOn(FOcc), weight);
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
  bool FStop = false;
  bool FSnapped = false;
  std::vector<double> FShareBefore;
  std::vector<int> FFirst;
  TRanker<TLane> FRanker;
  // The end game: each contender's totals, the teams on its lines and each team's line, the
  // lanes in which each contender is first, and each lane's weight, as won by one or tied by
  // several, and the share of it each of those first there gets.
  std::vector<TEndLanes> FEnd;
  TEndLanes FEndFirsts;  // how many are first in each lane
  std::vector<int32_t> FEndTeams;
  std::vector<int> FEndPosition;  // per team, its line in the end game, or past the last
  std::vector<TEndBits> FEndBits;
  TEndBits FEndSole{};
  std::vector<double> FLaneWeight;
  std::vector<double> FPairChance;  // the chance the team on one line beats that on another
  // Per line, the weight won with its team champion, in odd lanes and in even ones apart so
  // that one sum need not wait for the other.
  std::vector<double> FEndChampion;
  std::vector<int> FEndChampionLanes;  // the same, counting lanes
};

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
        FProgress(progress),
        FPlayers(plan.Players),
        FGames(plan.GameCount),
        FRowOf(plan.RowOf),
        FRowCount(plan.RowCount) {
    FRootAlive = plan.AliveAt(0);
    FOwn.resize(static_cast<size_t>(In.TeamCount()) * kRowsPerTeam);
    FOther.resize(FOwn.size());
  }

  // The best (or, with `worst`, the worst) place of player `i`, starting from `found`, a place
  // some outcome gives, and stopping at `limit`, the place no outcome can pass.
  int Run(int i, bool worst, int found, int limit) {
    FWorst = worst;
    FFound = found;
    FLimit = limit;
    Prepare(i);
    FOcc = In.Occupant;
    const size_t n = static_cast<size_t>(FPlayers);
    FIds.resize(static_cast<size_t>(FGames + 1) * n);
    FDiff.resize(FIds.size());
    FLo.resize(FIds.size());
    FHi.resize(FIds.size());
    FCount.assign(static_cast<size_t>(FGames + 1), 0);
    int sure = 0;
    for (size_t j = 0; j < n; ++j) {
      int64_t lo = In.Base[j] - In.Base[static_cast<size_t>(i)];
      int64_t hi = lo;
      const int64_t diff = lo;
      for (const int slot : FRootAlive) {
        const int team = FOcc[static_cast<size_t>(slot)];
        const int round = ChartPaths::SlotRound(slot);
        lo += FMin[Row(team, round) + j];
        hi += FMax[Row(team, round) + j];
      }
      if (lo > 0) {
        ++sure;
      } else if (hi > 0) {
        const size_t c = static_cast<size_t>(FCount[0]++);
        FIds[c] = static_cast<int>(j);
        FDiff[c] = diff;
        FLo[c] = lo;
        FHi[c] = hi;
      }
    }
    Walk(0, sure);
    return FFound;
  }

  bool Stopped() const { return FStop; }

 private:
  // Where a row of every player starts: the pairs a game can bring have one.
  size_t Row(int team, int round) const {
    return static_cast<size_t>(
               FRowOf[static_cast<size_t>(team) * kRowsPerTeam + static_cast<size_t>(round)]) *
           static_cast<size_t>(FPlayers);
  }

  // The gains of every other player less this one's, and the most and least of them still to
  // come for a team standing in each round.
  void Prepare(int i) {
    const size_t n = static_cast<size_t>(FPlayers);
    const size_t rows = static_cast<size_t>(FRowCount) * n;
    FDelta.assign(rows, 0);
    FMax.assign(rows, 0);
    FMin.assign(rows, 0);
    In.GainsOf(i, FOwn.data());
    const auto live = [this](int t, int k) {
      return FRowOf[static_cast<size_t>(t) * kRowsPerTeam + static_cast<size_t>(k)] >= 0;
    };
    for (size_t j = 0; j < n; ++j) {
      In.GainsOf(static_cast<int>(j), FOther.data());
      for (int t = 0; t < In.TeamCount(); ++t) {
        const size_t pair = static_cast<size_t>(t) * kRowsPerTeam;
        for (int k = 2; k <= kLastRound; ++k) {
          if (live(t, k))
            FDelta[Row(t, k) + j] =
                FOther[pair + static_cast<size_t>(k)] - FOwn[pair + static_cast<size_t>(k)];
        }
        // A team goes on only through the rounds it can still win its way into.
        for (int r = kLastRound - 1; r >= 1; --r) {
          if (!live(t, r) || !live(t, r + 1))
            continue;
          const int64_t next = FDelta[Row(t, r + 1) + j];
          FMax[Row(t, r) + j] = std::max<int64_t>(0, next + FMax[Row(t, r + 1) + j]);
          FMin[Row(t, r) + j] = std::min<int64_t>(0, next + FMin[Row(t, r + 1) + j]);
        }
      }
    }
  }

  bool Hopeless(int sure, int count) const {
    return FWorst ? 1 + sure + count <= FFound : 1 + sure >= FFound;
  }

  void Walk(int depth, int sure) {
    const int count = FCount[static_cast<size_t>(depth)];
    if (FStop || FFound == FLimit || Hopeless(sure, count))
      return;
    const size_t n = static_cast<size_t>(FPlayers);
    const size_t from = static_cast<size_t>(depth) * n;
    if (depth == FGames) {
      int above = sure;
      for (int c = 0; c < count; ++c)
        above += FDiff[from + static_cast<size_t>(c)] > 0;
      FFound = FWorst ? std::max(FFound, 1 + above) : std::min(FFound, 1 + above);
      return;
    }
    if ((++FNodes & 0xfff) == 0 && FProgress.Cancelled()) {
      FStop = true;
      return;
    }
    const TGame& game = In.Games[static_cast<size_t>(depth)];
    const std::array<int32_t, 2> teams = {FOcc[static_cast<size_t>(game.Feeder[0])],
                                          FOcc[static_cast<size_t>(game.Feeder[1])]};
    // The side that suits the search first: the one the player gains more from for the best
    // place, less for the worst.
    int first = 0;
    if (game.Real) {
      const int64_t upper =
          FOwn[static_cast<size_t>(teams[0]) * kRowsPerTeam + static_cast<size_t>(game.Round)];
      const int64_t lower =
          FOwn[static_cast<size_t>(teams[1]) * kRowsPerTeam + static_cast<size_t>(game.Round)];
      first = (FWorst ? lower < upper : lower > upper) ? 1 : 0;
    }
    for (int s = 0; s < (game.Real ? 2 : 1); ++s) {
      const int side = s == 0 ? first : 1 - first;
      const int32_t winner = teams[static_cast<size_t>(side)];
      const int32_t loser = game.Real ? teams[static_cast<size_t>(1 - side)] : -1;
      FOcc[static_cast<size_t>(game.Slot)] = winner;
      const size_t won = Row(winner, game.Round);
      const size_t winnerWas = Row(winner, game.Round - 1);
      const size_t loserWas = loser >= 0 ? Row(loser, game.Round - 1) : 0;
      const size_t to = from + n;
      int kept = 0;
      int above = sure;
      for (int c = 0; c < count; ++c) {
        const size_t k = from + static_cast<size_t>(c);
        const size_t j = static_cast<size_t>(FIds[k]);
        const int64_t delta = FDelta[won + j];
        int64_t lo = FLo[k] + delta + FMin[won + j] - FMin[winnerWas + j];
        int64_t hi = FHi[k] + delta + FMax[won + j] - FMax[winnerWas + j];
        if (loser >= 0) {
          lo -= FMin[loserWas + j];
          hi -= FMax[loserWas + j];
        }
        if (lo > 0) {
          ++above;
        } else if (hi > 0) {
          const size_t t = to + static_cast<size_t>(kept++);
          FIds[t] = FIds[k];
          FDiff[t] = FDiff[k] + delta;
          FLo[t] = lo;
          FHi[t] = hi;
        }
      }
      FCount[static_cast<size_t>(depth + 1)] = kept;
      Walk(depth + 1, above);
    }
  }

  const TOutlookInput& In;
  const TOutlookProgress& FProgress;
  const int FPlayers;
  const int FGames;
  const std::vector<int>& FRowOf;
  const int FRowCount;
  std::vector<int> FRootAlive;
  // The gains of the player searched for, and of the one being compared with it.
  std::vector<int64_t> FOwn, FOther;
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
    for (const TGame& game : P.In.Games) {
      const std::array<int32_t, 2> teams = {occ[static_cast<size_t>(game.Feeder[0])],
                                            occ[static_cast<size_t>(game.Feeder[1])]};
      const int side = game.Real && random.Uniform() >= P.Chance(teams, 0) ? 1 : 0;
      occ[static_cast<size_t>(game.Slot)] = teams[static_cast<size_t>(side)];
      AddRow(FTotals.data(), FTotals.data(),
             P.AllGainRow(teams[static_cast<size_t>(side)], game.Round), P.Players);
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

// The tournament over and the championship's total entered: of the players level on the most
// points, only those whose guess lies closest to it finish first, as in the standings.
template <typename TLane>
void BreakFinalTie(const TPlan<TLane>& plan, TTally& tally) {
  std::vector<int> first;
  for (int c = 0; c < plan.Count; ++c) {
    if (tally.Won[static_cast<size_t>(c)] + tally.Tied[static_cast<size_t>(c)] > 0)
      first.push_back(c);
  }
  if (first.size() < 2)
    return;
  // They are level on points: the standings' finish order parts them by their guesses.
  const auto key = [&plan](int c) {
    const int player = plan.Contenders[static_cast<size_t>(c)];
    return FinishOrder::TKey{0, plan.In.GuessDistance[static_cast<size_t>(player)],
                             static_cast<uint32_t>(player)};
  };
  FinishOrder::TKey best = key(first.front());
  for (const int c : first) {
    if (FinishOrder::Ahead(key(c), best))
      best = key(c);
  }
  std::vector<int> kept;
  for (const int c : first) {
    const size_t n = static_cast<size_t>(c);
    tally.Won[n] = tally.Tied[n] = tally.Share[n] = 0;
    std::fill_n(tally.Champion.begin() +
                    static_cast<std::ptrdiff_t>(n * static_cast<size_t>(tally.Champions)),
                tally.Champions, 0.0);
    if (FinishOrder::Level(key(c), best))
      kept.push_back(c);
  }
  tally.AddFirst(kept, plan.ChampionOn(plan.In.Occupant), 1.0);
}

// What the draws make of one contender: the weight won with each champion, and the share won
// with each side of each rooting game.
struct TDrawnSums {
  std::vector<double> Champion;  // per champion
  std::vector<double> Rooting;   // game * 2 + side
};

template <typename TLane>
TOutlookResult Run(const TOutlookInput& input, const TOutlookOptions& options,
                   TOutlookProgress& progress) {
  const TPlan<TLane> plan(input, options);
  TOutlookResult result;
  result.Model = options.Model;
  result.GamesLeft = input.RealGames();
  result.Outcomes = uint64_t{1} << result.GamesLeft;
  result.Exact = plan.Way.Exact;
  result.Samples = plan.Way.Samples;
  const int threads = plan.Workers();
  const int players = input.PlayerCount();
  const int rootingGames = static_cast<int>(plan.RootingGames.size());
  std::vector<TTally> tallies(static_cast<size_t>(threads));
  for (TTally& tally : tallies)
    tally.Init(plan.Count, players, plan.Champions, rootingGames, !result.Exact);

  const bool searchPlaces = result.Exact && !plan.Way.RankAll;
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
  if (result.GamesLeft == 0 && !input.GuessDistance.empty())
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

  // Weights add up to `total`: the outcomes' chances when every outcome is visited (exact in
  // binary when even, since each is a power of one half), one per draw when sampled. Counts
  // are reported per outcome.
  const double outcomes = static_cast<double>(result.Outcomes);
  const double total = result.Exact ? 1.0 : static_cast<double>(result.Samples);
  const double perOutcome = outcomes / total;
  // Draws in contender order, each contender's summed as its turn comes.
  std::sort(
      tally.Drawn.begin(), tally.Drawn.end(),
      [](const TTally::TDrawn& a, const TTally::TDrawn& b) { return a.Contender < b.Contender; });
  size_t drawn = 0;
  TDrawnSums sums;
  const std::vector<int32_t>& champions = plan.Candidates[kChampionSlot];
  std::vector<std::array<double, 2>> rootingShares;  // per rooting game, of the contender
  result.Rooting.resize(static_cast<size_t>(rootingGames));
  for (int i = 0; i < players; ++i) {
    const size_t n = static_cast<size_t>(i);
    const int c = plan.ContenderOf[n];
    const size_t k = static_cast<size_t>(c);
    TOutlookPlayer player;
    player.Index = i;
    player.Name = input.PlayerNames.at(i);
    player.Current = Saturate(input.Base[n]);
    player.Max = static_cast<int32_t>(plan.Max[n]);
    player.BestPlace = tally.Best[n];
    player.WorstPlace = tally.Worst[n];
    if (c >= 0) {
      player.Won = tally.Won[k] * perOutcome;
      player.Tied = tally.Tied[k] * perOutcome;
      player.WinChance = std::clamp(tally.Share[k] / total, 0.0, 1.0);
    }
    if (result.Exact) {
      player.ChanceLow = player.ChanceHigh = player.WinChance;
    } else {
      std::tie(player.ChanceLow, player.ChanceHigh) = ChanceInterval(player.WinChance, total);
    }
    if (c >= 0 && player.WinChance > 0) {
      // What this contender won with each champion and each side of the rooting games.
      sums.Champion.assign(champions.size(), 0);
      sums.Rooting.assign(static_cast<size_t>(rootingGames) * 2, 0);
      if (result.Exact) {
        std::copy_n(tally.Champion.begin() + static_cast<std::ptrdiff_t>(k * champions.size()),
                    champions.size(), sums.Champion.begin());
        for (size_t r = 0; r < sums.Rooting.size(); ++r)
          sums.Rooting[r] = tally.Rooting[r * static_cast<size_t>(plan.Count) + k];
      }
      for (; drawn < tally.Drawn.size() && tally.Drawn[drawn].Contender == c; ++drawn) {
        const TTally::TDrawn& entry = tally.Drawn[drawn];
        if (entry.Champion >= 0)
          sums.Champion[static_cast<size_t>(entry.Champion)] += 1;
        for (size_t j = 0; j < static_cast<size_t>(rootingGames); ++j)
          sums.Rooting[j * 2 + ((entry.Sides >> j) & 1)] += entry.Share;
      }
      for (size_t t = 0; t < champions.size(); ++t) {
        if (sums.Champion[t] > 0)
          player.Champions.push_back(
              {input.TeamNames.at(champions[t]), sums.Champion[t] * perOutcome});
      }
      std::stable_sort(
          player.Champions.begin(), player.Champions.end(),
          [](const TOutlookChampion& a, const TOutlookChampion& b) { return a.Won > b.Won; });
      result.RootingPlayers.push_back(i);
      for (size_t j = 0; j < static_cast<size_t>(rootingGames); ++j) {
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

  for (int j = 0; j < rootingGames; ++j) {
    const TGame& game = input.Games[static_cast<size_t>(plan.RootingGames[static_cast<size_t>(j)])];
    TRootingGame& rooting = result.Rooting[static_cast<size_t>(j)];
    rooting.Slot = game.Slot;
    rooting.Round = game.Round;
    const std::array<int32_t, 2> teams = {plan.FixedTeam(game.Feeder[0]),
                                          plan.FixedTeam(game.Feeder[1])};
    for (size_t side = 0; side < 2; ++side) {
      rooting.Teams[side] = input.TeamNames.at(teams[side]);
      // The weight of the outcomes in which this side wins.
      const double weight = result.Exact ? total * plan.Chance(teams, static_cast<int>(side))
                                         : tally.RootingWeight[static_cast<size_t>(j) * 2 + side];
      if (!result.Exact)
        rooting.Samples[side] = weight;
      for (double& chance : rooting.Chance[side])
        chance = weight > 0 ? std::clamp(chance / weight, 0.0, 1.0) : 0.0;
    }
  }
  return result;
}

// Whether every total, and every partial sum on the way to it and to its bounds, fits a lane
// of TLane without overflow.
template <typename TLane>
bool FitsLanes(const TOutlookInput& input) {
  constexpr int64_t kLimit =
      std::is_same_v<TLane, int16_t> ? 32000 : std::numeric_limits<TLane>::max() / 4;
  const int players = input.PlayerCount();
  for (int i = 0; i < players; ++i) {
    int64_t reach = std::abs(input.Base[static_cast<size_t>(i)]);
    const TOutlookInput::TPick* picks = &input.Picks[static_cast<size_t>(i) * kPicks];
    for (int e = 0; e < kPicks && reach <= kLimit; ++e) {
      if (picks[e].Team < 0)
        continue;
      const int from = std::max(2, input.Reached[static_cast<size_t>(picks[e].Team)] + 1);
      for (int k = from; k <= picks[e].Last; ++k)
        reach = std::min(reach + std::abs(input.Points[static_cast<size_t>(k)]), kLimit + 1);
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

// The 95% Wilson score interval of a share seen in `samples` draws. A share of a tied outcome
// lies between 0 and 1, so its spread is no wider than a plain win's and the interval holds.
std::pair<double, double> ChanceInterval(double share, double samples) {
  constexpr double z = 1.959963984540054;
  const double z2 = z * z;
  const double centre = (share + z2 / (2 * samples)) / (1 + z2 / samples);
  const double half =
      z / (1 + z2 / samples) *
      std::sqrt(std::max(0.0, share * (1 - share) / samples + z2 / (4 * samples * samples)));
  // At a share of 0 or 1 the interval's end is the share itself, up to rounding.
  return {std::clamp(centre - half, 0.0, share), std::clamp(centre + half, share, 1.0)};
}

TOutlookResult ComputeOutlook(const TOutlookInput& input, const TOutlookOptions& options,
                              TOutlookProgress* progress) {
  TOutlookProgress own;
  TOutlookProgress& shared = progress ? *progress : own;
  if (FitsLanes<int16_t>(input))
    return Run<int16_t>(input, options, shared);
  if (FitsLanes<int32_t>(input))
    return Run<int32_t>(input, options, shared);
  return Run<int64_t>(input, options, shared);
}
