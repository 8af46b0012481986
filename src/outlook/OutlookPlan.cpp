// The plan of a run: which game fills which line, the rows of gains, the contenders, the way
// the outlook goes about it and the depths the search splits at.

#include <algorithm>
#include <cmath>
#include <thread>
#include <type_traits>

#include "OutlookPlan.h"
#include "PrizeRanker.h"

namespace OutlookSearch {

void TGamePairs::Plan(const TOutlookInput& input, const TCandidates& candidates) {
  PlaceOf.assign(static_cast<size_t>(input.TeamCount()) * kRowsPerTeam, -1);
  for (int slot = 1; slot <= kSlots; ++slot) {
    const std::vector<int32_t>& teams = candidates[static_cast<size_t>(slot)];
    for (size_t place = 0; place < teams.size(); ++place)
      PlaceOf[static_cast<size_t>(teams[place]) * kRowsPerTeam +
              static_cast<size_t>(ChartPaths::SlotRound(slot))] = static_cast<int>(place);
  }
  From.assign(1, 0);
  for (const TGame& game : input.Games) {
    std::array<int, 2> sides{};
    for (int side = 0; side < (game.Real ? 2 : 1); ++side)
      sides[static_cast<size_t>(side)] = static_cast<int>(
          candidates[static_cast<size_t>(game.Feeder[static_cast<size_t>(side)])].size());
    Sides.push_back(sides);
    From.push_back(From.back() + (game.Real ? 2 * sides[0] * sides[1] : sides[0]));
  }
}

template <typename TLane>
TPlan<TLane>::TPlan(const TOutlookInput& input, const TOutlookGain& rule,
                    const TOutlookOptions& options)
    : In(input), Rule(rule), Options(options), ByTeam(rule.ByTeamAndRound()) {
  Players = input.PlayerCount();
  Teams = input.TeamCount();
  GameCount = static_cast<int>(input.Games.size());
  PlanSlots();
  PlanRows();
  if (!ByTeam)
    Pairs.Plan(In, Candidates);
  ExtremeTotals();
  const std::vector<int64_t> amounts = Prizes::PlaceAmounts(In.Prizes, Players);
  Paid = static_cast<int>(amounts.size());
  PaidUpTo.assign(1, 0);
  for (const int64_t amount : amounts)
    PaidUpTo.push_back(PaidUpTo.back() + amount);
  PlanContenders();
  PlanRooting();
  PlanDepths();
  ChooseWay();
  ContenderRows();
  if (Way.RankAll || !Way.Exact)
    PlayerRows();
  PlanEndGame();
  TeamChance.resize(static_cast<size_t>(Teams) * static_cast<size_t>(Teams), 0.5);
  if (Options.Model == TOutlookModel::Even)
    return;
  for (int a = 0; a < Teams; ++a) {
    for (int b = 0; b < Teams; ++b) {
      TeamChance[static_cast<size_t>(a) * static_cast<size_t>(Teams) + static_cast<size_t>(b)] =
          TeamWinChance(In, Options, a, b);
    }
  }
}

template <typename TLane>
int32_t TPlan<TLane>::FixedTeam(int32_t slot) const {
  while (In.Occupant[static_cast<size_t>(slot)] < 0) {
    const int game = GameAt[static_cast<size_t>(slot)];
    if (game < 0 || In.Games[static_cast<size_t>(game)].Real)
      return -1;
    slot = In.Games[static_cast<size_t>(game)].Feeder[0];
  }
  return In.Occupant[static_cast<size_t>(slot)];
}

template <typename TLane>
void TPlan<TLane>::PlanSlots() {
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
        const auto& from = Candidates[static_cast<size_t>(game.Feeder[static_cast<size_t>(side)])];
        Candidates[static_cast<size_t>(slot)].insert(Candidates[static_cast<size_t>(slot)].end(),
                                                     from.begin(), from.end());
      }
    }
  }
  ChampionOf.assign(static_cast<size_t>(Teams), -1);
  for (const int32_t team : Candidates[kChampionSlot])
    ChampionOf[static_cast<size_t>(team)] = Champions++;
}

template <typename TLane>
void TPlan<TLane>::PlanRows() {
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

template <typename TLane>
void TPlan<TLane>::PlanContenders() {
  int64_t sure = std::numeric_limits<int64_t>::min();
  if (Paid > 1) {
    std::vector<int64_t> scratch;
    sure = KthLevel(Min.data(), Players, Paid, scratch);
  } else {
    for (const int64_t low : Min)
      sure = std::max(sure, low);
  }
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

template <typename TLane>
int TPlan<TLane>::Threads() const {
  return Options.Threads > 0 ? Options.Threads
                             : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

template <typename TLane>
int TPlan<TLane>::Workers() const {
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
    each += (2.0 * RowCount + WinRows()) * players * 8 + depths * players * 28;
  }
  const int fit = static_cast<int>(kWorkerMemory / std::max(1.0, each));
  return std::clamp(fit, 1, Threads());
}

template <typename TLane>
void TPlan<TLane>::ChooseWay() {
  const double outcomes = std::ldexp(1.0, In.RealGames());
  const double players = static_cast<double>(Players);
  const double rank = outcomes * (2 * players + static_cast<double>(Spread));
  const double search = 2 * players * players * std::max(1, RowCount);
  // The winners are searched for among the contenders, through the games above the end game.
  const double winners =
      std::ldexp(1.0, std::max(0, In.RealGames() - kEndGames)) * static_cast<double>(Count);
  Way.Exact = In.RealGames() <= Options.MaxExactGames &&
              std::min(rank, search) + winners <= Options.ExactWork;
  Way.RankAll =
      !Way.Exact || !std::is_same_v<TLane, int16_t> || rank <= Options.RankBudget || rank <= search;
  // Fewer draws for a very large pool: each ranks every player.
  Way.Samples = Way.Exact
                    ? 0
                    : std::max<int64_t>(
                          1, std::min<int64_t>(
                                 Options.Samples,
                                 std::max<int64_t>(kFewestSamples,
                                                   static_cast<int64_t>(Options.SampleWork /
                                                                        std::max(1.0, players)))));
}

template <typename TLane>
void TPlan<TLane>::PlanRooting() {
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

template <typename TLane>
void TPlan<TLane>::PlanDepths() {
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

template <typename TLane>
std::vector<int> TPlan<TLane>::AliveAt(int depth) const {
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
template struct TPlan<int16_t>;
template struct TPlan<int32_t>;
template struct TPlan<int64_t>;

}  // namespace OutlookSearch
