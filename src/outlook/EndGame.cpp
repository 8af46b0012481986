// The end game: the last games of the search played by table, all their outcomes at once in
// vector registers, and its plan.

#include "EndGame.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <unordered_map>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace OutlookSearch {
namespace {

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

// What each of `level` players level with `above` players above them is paid, of the places
// paid (`paidUpTo`, the prizes of the first so many places together): the share of the prizes
// of the places they span, and the odd cents the first of them gets besides.
struct TEndShare {
  int64_t Each;
  int64_t Odd;
};
inline TEndShare EndShareOf(const int64_t* paidUpTo, int paid, int above, int level) {
  const int64_t total = paidUpTo[std::min(above + level, paid)] - paidUpTo[above];
  return {total / level, total % level};
}

// What the vector part of the end game reads and writes, for the contenders of one outcome of
// the games before it.
struct TEndGameWork {
  int Count = 0;                    // contenders
  const int16_t* Values = nullptr;  // per contender, the total so far
  // Per contender, what each team it picked in the end game's rounds that stands on its line
  // brings it in every lane, and each win over a loser that stands on its line brings beyond
  // that: *Standing[e] for e from From[c] to From[c + 1].
  const int* From = nullptr;
  const TEndLanes* const* Standing = nullptr;
  const TEndBits* Used = nullptr;  // the lanes that are outcomes, not repeats of them
  TEndLanes* Totals = nullptr;     // per contender
  TEndBits* Bits = nullptr;        // per contender, the lanes it is first in
  TEndLanes* Firsts = nullptr;     // how many are first in each lane
  TEndBits* Sole = nullptr;        // the lanes only one is first in
  int* Leaders = nullptr;          // the contenders first in some lane, in order
  int* LeaderCount = nullptr;
  // Where places are paid, how many; the highest totals of each lane, as many as places are
  // paid, highest first, and how many have the last of them; per contender, the vectors it reaches
  // the last of them in; and the contenders who reach it in some lane, in order.
  int Paid = 0;
  TEndLanes* Top = nullptr;
  TEndLanes* AtCut = nullptr;  // counted negative, as vector comparisons count
  uint64_t* Reached = nullptr;
  int* Reaching = nullptr;
  int* ReachingCount = nullptr;
};

// What the vector part reads and writes to pay the places.
struct TEndPrizeWork {
  int Count = 0;  // the contenders reaching the cut (TEndGameWork::Reaching)
  const int* Reaching = nullptr;
  const uint64_t* Reached = nullptr;
  const TEndLanes* Totals = nullptr;
  int Paid = 0;
  const TEndLanes* Top = nullptr;
  const TEndLanes* AtCut = nullptr;  // how many have the cut's total, counted negative
  const int64_t* PaidUpTo = nullptr;
  int Digits = 1;
  const int16_t* ShareDigits = nullptr;  // TEndGame::FShareDigits
  TEndLanes* Shares = nullptr;           // per place, kEndDigits digits and the odd cents
  // Each lane's weight, or none where lanes are counted (even chances); room for each place's
  // share in each lane, weighed.
  const double* Weights = nullptr;
  double* Weighed = nullptr;
  // Per contender reaching the cut: counted, the cents it is paid and the lanes it is paid in;
  // weighed, its prize and the weight of the lanes it is paid in.
  int64_t* Cents = nullptr;
  int* Lanes = nullptr;
  double* Prizes = nullptr;
  double* Chances = nullptr;
};

#define END_VECTORS PlainVectors
#define END_VECTOR_BYTES 16
#include "EndGameLanes.inc"
#undef END_VECTORS
#undef END_VECTOR_BYTES

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define END_GAME_WIDE_VECTORS 1
#pragma GCC push_options
#pragma GCC target("avx2,popcnt")
#define END_VECTORS Avx2Vectors
#define END_VECTOR_BYTES 32
#include "EndGameLanes.inc"
#undef END_VECTORS
#undef END_VECTOR_BYTES
#pragma GCC pop_options
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,popcnt")
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

// The vector part of the end game on the instructions chosen (TPlan::EndVectors).
struct TLanes {
  decltype(&PlainVectors::PlayEndGame) Play;
  decltype(&PlainVectors::PayEndGame) Pay;
  decltype(&PlainVectors::CountEndLanes) Count;
};

TLanes LanesFor(TOutlookVectors vectors) {
#if defined(END_GAME_WIDE_VECTORS)
  if (vectors == TOutlookVectors::Avx512)
    return {Avx512Vectors::PlayEndGame, Avx512Vectors::PayEndGame, Avx512Vectors::CountEndLanes};
  if (vectors == TOutlookVectors::Avx2)
    return {Avx2Vectors::PlayEndGame, Avx2Vectors::PayEndGame, Avx2Vectors::CountEndLanes};
#else
  (void)vectors;
#endif
  return {PlainVectors::PlayEndGame, PlainVectors::PayEndGame, PlainVectors::CountEndLanes};
}

// Who stands on each line in each outcome of the end game's `games` games, game by game, who
// lost each game (-1: its line was unopposed) and who came from its first feeder.
struct TEndOutcomes {
  int Games = 0;
  std::vector<int> Winner;
  std::vector<int> Loser;
  std::vector<int> FirstSide;

  size_t At(int outcome, int game) const { return static_cast<size_t>(outcome * Games + game); }
};

TEndOutcomes PlayEndOutcomes(const TOutlookInput::TGame* games, int count, int outcomes,
                             const std::array<int, kSlots + 1>& positionOf) {
  TEndOutcomes played;
  played.Games = count;
  played.Winner.resize(static_cast<size_t>(outcomes * count));
  played.Loser.resize(played.Winner.size());
  played.FirstSide.resize(played.Winner.size());
  for (int o = 0; o < outcomes; ++o) {
    std::array<int, kSlots + 1> on = positionOf;
    int bit = 0;
    for (int g = 0; g < count; ++g) {
      const TOutlookInput::TGame& game = games[g];
      const int side = game.Real ? (o >> bit++) & 1 : 0;
      const size_t at = played.At(o, g);
      played.FirstSide[at] = on[static_cast<size_t>(game.Feeder[0])];
      played.Winner[at] = on[static_cast<size_t>(game.Feeder[static_cast<size_t>(side)])];
      played.Loser[at] =
          game.Real ? on[static_cast<size_t>(game.Feeder[static_cast<size_t>(1 - side)])] : -1;
      on[static_cast<size_t>(game.Slot)] = played.Winner[at];
    }
  }
  return played;
}

// A game the team on a line can win, the line it beats there, and the lanes in which it does.
struct TMeeting {
  int Game;
  int Loser;  // a line, -1 for none
  TEndLanes Lanes;
};

// Per line, its meetings, game by game.
std::vector<std::vector<TMeeting>> EndMeetings(const TEndOutcomes& played, int positions,
                                               int outcomes) {
  std::vector<std::vector<TMeeting>> meetings(static_cast<size_t>(positions));
  for (int g = 0; g < played.Games; ++g) {
    for (int position = 0; position < positions; ++position) {
      for (int beaten = -1; beaten < positions; ++beaten) {
        TMeeting meeting{g, beaten, {}};
        bool any = false;
        for (int lane = 0; lane < kEndLanes; ++lane) {
          const size_t at = played.At(lane % outcomes, g);
          const bool here = played.Winner[at] == position && played.Loser[at] == beaten;
          meeting.Lanes.Lane[lane] = here ? -1 : 0;
          any = any || here;
        }
        if (any)
          meetings[static_cast<size_t>(position)].push_back(meeting);
      }
    }
  }
  return meetings;
}

// What a team brings a player over its meetings of one game, [from, to) of `met`. The least a
// win brings, whoever it beats, is added to `gains` in the lanes of every meeting; what more a
// win over a given loser brings goes to `over`, in the lanes of that meeting alone. `losersOn`
// gives the teams that can stand on a line, and `gainOver` what a win over one of them (-1:
// nobody) brings. Returns whether the least is anything.
template <typename TLosersOn, typename TGainOver>
bool AddGameGains(const std::vector<TMeeting>& met, size_t from, size_t to, TLosersOn losersOn,
                  TGainOver gainOver, TEndLanes& gains,
                  std::vector<std::pair<int32_t, TEndLanes>>& over) {
  struct TLoss {
    size_t Meeting;
    int32_t Team;
    int64_t Gain;
  };
  std::vector<TLoss> losses;
  for (size_t k = from; k < to; ++k) {
    if (met[k].Loser < 0) {
      losses.push_back({k, -1, gainOver(-1)});
      continue;
    }
    for (const int32_t beaten : losersOn(met[k].Loser))
      losses.push_back({k, beaten, gainOver(beaten)});
  }
  int64_t least = std::numeric_limits<int64_t>::max();
  for (const TLoss& loss : losses)
    least = std::min(least, loss.Gain);
  for (size_t k = from; k < to; ++k) {
    for (int lane = 0; lane < kEndLanes; ++lane)
      gains.Lane[lane] = static_cast<int16_t>(
          gains.Lane[lane] + (met[k].Lanes.Lane[lane] & static_cast<int16_t>(least)));
  }
  for (const TLoss& loss : losses) {
    if (loss.Gain == least)
      continue;
    TEndLanes more{};
    const TEndLanes& lanes = met[loss.Meeting].Lanes;
    for (int lane = 0; lane < kEndLanes; ++lane)
      more.Lane[lane] =
          static_cast<int16_t>(lanes.Lane[lane] & static_cast<int16_t>(loss.Gain - least));
    over.emplace_back(loss.Team, more);
  }
  return least != 0;
}

}  // namespace

template <typename TLane>
void TPlan<TLane>::PlanEndGame() {
  EndDepth = GameCount;
  // Ranks in a lane are counted in 16 bits, so prizes take the table only among fewer
  // contenders than that holds.
  if (!Way.Exact || Way.RankAll || (Paid > 0 && Count > std::numeric_limits<int16_t>::max()))
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
  const int positions = static_cast<int>(EndAlive.size());
  std::array<int, kSlots + 1> positionOf;
  positionOf.fill(-1);
  for (int a = 0; a < positions; ++a)
    positionOf[static_cast<size_t>(EndAlive[static_cast<size_t>(a)])] = a;
  const int games = GameCount - EndDepth;
  const TEndOutcomes played =
      PlayEndOutcomes(&In.Games[static_cast<size_t>(EndDepth)], games, EndOutcomes, positionOf);
  const std::vector<std::vector<TMeeting>> meetings = EndMeetings(played, positions, EndOutcomes);
  const auto losersOn = [this](int position) -> const std::vector<int32_t>& {
    return Candidates[static_cast<size_t>(EndAlive[static_cast<size_t>(position)])];
  };
  // A team can stand on one line only, the one its path crosses: what it brings each player
  // is fixed before the search. Where the gain depends on the loser, the least a win brings
  // goes with the winner, and what more it brings over a given loser with that pair; a pair
  // counts in the lanes where both teams stand on their lines.
  EndCellOf.assign(static_cast<size_t>(Teams), -1);
  for (int position = 0; position < positions; ++position) {
    for (const int32_t team : losersOn(position))
      EndCellOf[static_cast<size_t>(team)] = EndCells++;
  }
  // Contenders who picked a team alike share its gains: kept once, they stay in the caches.
  std::unordered_map<size_t, std::vector<uint32_t>> alike;
  const auto keep = [&](const TEndLanes& lanes) {
    const std::string_view bytes(reinterpret_cast<const char*>(lanes.Lane), sizeof lanes.Lane);
    std::vector<uint32_t>& same = alike[std::hash<std::string_view>{}(bytes)];
    for (const uint32_t k : same) {
      if (std::memcmp(EndGains[k].Lane, lanes.Lane, sizeof lanes.Lane) == 0) {
        EndGainOf.push_back(k);
        return;
      }
    }
    same.push_back(static_cast<uint32_t>(EndGains.size()));
    EndGainOf.push_back(same.back());
    EndGains.push_back(lanes);
  };
  for (int c = 0; c < Count; ++c) {
    EndGainsFrom.push_back(static_cast<uint32_t>(EndGainOf.size()));
    const int player = Contenders[static_cast<size_t>(c)];
    for (int position = 0; position < positions; ++position) {
      const std::vector<TMeeting>& met = meetings[static_cast<size_t>(position)];
      for (const int32_t team : losersOn(position)) {
        const int16_t cell = static_cast<int16_t>(EndCellOf[static_cast<size_t>(team)]);
        TEndLanes gains{};
        bool any = false;
        std::vector<std::pair<int32_t, TEndLanes>> over;
        for (size_t m = 0; m < met.size();) {
          const TGame& game = In.Games[static_cast<size_t>(EndDepth + met[m].Game)];
          size_t end = m;
          while (end < met.size() && met[end].Game == met[m].Game)
            ++end;
          const auto gainOver = [&](int32_t beaten) -> int64_t {
            return ByTeam ? Row(Gain, team, game.Round)[c] : Rule.Gain(player, game, team, beaten);
          };
          any = AddGameGains(met, m, end, losersOn, gainOver, gains, over) || any;
          m = end;
        }
        if (any) {
          EndGainCell.push_back(cell);
          EndLoserCell.push_back(static_cast<int16_t>(EndCells));
          keep(gains);
        }
        for (const auto& [beaten, more] : over) {
          EndGainCell.push_back(cell);
          EndLoserCell.push_back(static_cast<int16_t>(EndCellOf[static_cast<size_t>(beaten)]));
          keep(more);
        }
      }
    }
  }
  EndGainsFrom.push_back(static_cast<uint32_t>(EndGainOf.size()));
  EndChampionLanes.resize(static_cast<size_t>(positions));
  for (int o = 0; o < EndOutcomes && games > 0; ++o) {
    const int champion = played.Winner[played.At(o, games - 1)];
    EndChampion.push_back(champion);
    EndChampionLanes[static_cast<size_t>(champion)][static_cast<size_t>(o / 64)] |= uint64_t{1}
                                                                                    << (o % 64);
    EndUsed[static_cast<size_t>(o / 64)] |= uint64_t{1} << (o % 64);
  }
  // The sides of real game r depend on the outcomes of the real games before it only.
  int bit = 0;
  for (int g = 0; g < games; ++g) {
    if (!In.Games[static_cast<size_t>(EndDepth + g)].Real)
      continue;
    for (int before = 0; before < (1 << bit); ++before) {
      const int first = played.FirstSide[played.At(before, g)];
      // The other side: the winner of this game in the outcome where it goes that way.
      const int second = played.Winner[played.At(before | (1 << bit), g)];
      EndSides.push_back(first * positions + second);
    }
    ++bit;
  }
}
template void TPlan<int16_t>::PlanEndGame();
template void TPlan<int32_t>::PlanEndGame();
template void TPlan<int64_t>::PlanEndGame();

TEndGame::TEndGame(const TPlan<int16_t>& plan) : P(plan) {
  const size_t positions = P.EndAlive.size();
  FEnd.resize(static_cast<size_t>(P.Count));
  FEndTeams.resize(positions);
  FEndChampionOf.resize(positions);
  FStanding.resize(P.EndGainOf.size() + 1);
  FEndChampion.resize(2 * positions);
  FEndCounts.resize(1 + positions);
  FInverse.resize(static_cast<size_t>(P.Count) + 1);
  for (size_t k = 1; k < FInverse.size(); ++k)
    FInverse[k] = 1.0 / static_cast<double>(k);
  // The cell past the last always stands: see TPlan::EndLoserCell.
  FStands.assign(static_cast<size_t>(P.EndCells) + 1, 0);
  FStands.back() = 1;
  FPairChance.resize(positions * positions);
  if (P.Paid == 0)
    return;
  FTop.resize(static_cast<size_t>(P.Paid));
  FReached.resize(static_cast<size_t>(P.Count));
  FReaching.resize(static_cast<size_t>(P.Count));
  FCents.resize(static_cast<size_t>(P.Count));
  FPaidLanes.resize(static_cast<size_t>(P.Count));
  FPrizes.resize(static_cast<size_t>(P.Count));
  FChances.resize(static_cast<size_t>(P.Count));
  FLaneShares.resize(static_cast<size_t>(P.Paid) * (kEndDigits + 1));
  FWeighed.resize(static_cast<size_t>(P.Paid) * kEndLanes);
  while (FDigits < kEndDigits && (P.PaidUpTo.back() >> (kDigitBits * FDigits)) != 0)
    ++FDigits;
  for (int above = 0; above < P.Paid; ++above) {
    for (int k = 0; k <= kEndDigits; ++k) {
      for (int level = 0; level < kTableLevels; ++level) {
        const TEndShare share =
            level > 0 ? EndShareOf(P.PaidUpTo.data(), P.Paid, above, level) : TEndShare{0, 0};
        FShareDigits.push_back(static_cast<int16_t>(
            k < kEndDigits ? (share.Each >> (kDigitBits * k)) & kDigitMask : share.Odd));
      }
    }
  }
}

void TEndGame::Play(const std::array<int32_t, kSlots + 1>& occupant, const int* ids,
                    const int16_t* values, int count, double weight, TTally& tally) {
  const size_t positions = P.EndAlive.size();
  for (size_t a = 0; a < positions; ++a) {
    FEndTeams[a] = occupant[static_cast<size_t>(P.EndAlive[a])];
    FEndChampionOf[a] = P.ChampionOf[static_cast<size_t>(FEndTeams[a])];
    FStands[static_cast<size_t>(P.EndCellOf[static_cast<size_t>(FEndTeams[a])])] = 1;
  }
  FindStanding(ids, count);
  PlayLanes(values, count);
  for (size_t a = 0; a < positions; ++a)
    FStands[static_cast<size_t>(P.EndCellOf[static_cast<size_t>(FEndTeams[a])])] = 0;
  // Even chances weigh every lane alike, so lanes are counted; otherwise each is weighed.
  const bool even = P.Options.Model == TOutlookModel::Even;
  const double each = std::ldexp(weight, -P.EndBits);
  if (!even)
    LaneWeights(weight);
  if (P.Paid > 0)
    TallyPrizes(ids, even, weight, tally);
  for (int l = 0; l < FLeaderCount; ++l) {
    const int c = FLeaders[static_cast<size_t>(l)];
    const TEndBits& lanes = FEndBits[static_cast<size_t>(c)];
    if (even)
      TallyEven(lanes, each, static_cast<size_t>(ids[c]), tally);
    else
      TallyWeighted(lanes, static_cast<size_t>(ids[c]), tally);
  }
}

void TEndGame::FindStanding(const int* ids, int count) {
  FFrom.resize(static_cast<size_t>(count) + 1);
  int standing = 0;
  for (int c = 0; c < count; ++c) {
    FFrom[static_cast<size_t>(c)] = standing;
    const size_t contender = static_cast<size_t>(ids[c]);
    for (uint32_t e = P.EndGainsFrom[contender]; e < P.EndGainsFrom[contender + 1]; ++e) {
      FStanding[static_cast<size_t>(standing)] = &P.EndGains[P.EndGainOf[e]];
      standing += FStands[static_cast<size_t>(P.EndGainCell[e])] &
                  FStands[static_cast<size_t>(P.EndLoserCell[e])];
    }
  }
  FFrom[static_cast<size_t>(count)] = standing;
}

void TEndGame::PlayLanes(const int16_t* values, int count) {
  FEndBits.resize(static_cast<size_t>(count));
  FLeaders.resize(static_cast<size_t>(count));
  TEndGameWork work;
  work.Count = count;
  work.Values = values;
  work.From = FFrom.data();
  work.Standing = FStanding.data();
  work.Used = &P.EndUsed;
  work.Totals = FEnd.data();
  work.Bits = FEndBits.data();
  work.Firsts = &FEndFirsts;
  work.Sole = &FEndSole;
  work.Leaders = FLeaders.data();
  work.LeaderCount = &FLeaderCount;
  work.Paid = P.Paid;
  work.Top = FTop.data();
  work.AtCut = &FAtCut;
  work.Reached = FReached.data();
  work.Reaching = FReaching.data();
  work.ReachingCount = &FReachingCount;
  LanesFor(P.EndVectors).Play(work);
}

void TEndGame::TallyEven(const TEndBits& lanes, double each, size_t contender, TTally& tally) {
  const size_t positions = P.EndAlive.size();
  LanesFor(P.EndVectors)
      .Count(lanes, FEndSole, P.EndChampionLanes.data(), static_cast<int>(positions),
             FEndCounts.data());
  double tied = 0, share = 0;
  for (size_t word = 0; word < lanes.size(); ++word) {
    for (uint64_t bits = lanes[word] & ~FEndSole[word]; bits != 0; bits &= bits - 1) {
      tied += 1;
      share += FInverse[static_cast<size_t>(
          FEndFirsts.Lane[word * 64 + static_cast<size_t>(__builtin_ctzll(bits))])];
    }
  }
  double* champions = &tally.Champion[contender * static_cast<size_t>(P.Champions)];
  for (size_t a = 0; a < positions; ++a) {
    if (const int k = FEndChampionOf[a]; k >= 0)
      champions[k] += FEndCounts[1 + a] * each;
  }
  const double won = FEndCounts[0] * each;
  tally.Won[contender] += won;
  tally.Tied[contender] += tied * each;
  tally.Share[contender] += won + share * each;
}

void TEndGame::TallyWeighted(const TEndBits& lanes, size_t contender, TTally& tally) {
  const size_t positions = P.EndAlive.size();
  double won = 0, tied = 0, share = 0;
  std::fill(FEndChampion.begin(), FEndChampion.end(), 0.0);
  for (size_t word = 0; word < lanes.size(); ++word) {
    for (uint64_t bits = lanes[word] & FEndSole[word]; bits != 0; bits &= bits - 1) {
      const size_t lane = word * 64 + static_cast<size_t>(__builtin_ctzll(bits));
      won += FLaneWeight[lane];
      FEndChampion[2 * static_cast<size_t>(P.EndChampion[lane]) + (lane & 1)] += FLaneWeight[lane];
    }
    for (uint64_t bits = lanes[word] & ~FEndSole[word]; bits != 0; bits &= bits - 1) {
      const size_t lane = word * 64 + static_cast<size_t>(__builtin_ctzll(bits));
      tied += FLaneWeight[lane];
      share += FLaneWeight[lane] * FInverse[static_cast<size_t>(FEndFirsts.Lane[lane])];
      FEndChampion[2 * static_cast<size_t>(P.EndChampion[lane]) + (lane & 1)] += FLaneWeight[lane];
    }
  }
  double* champions = &tally.Champion[contender * static_cast<size_t>(P.Champions)];
  for (size_t a = 0; a < positions; ++a) {
    if (const int k = FEndChampionOf[a]; k >= 0)
      champions[k] += FEndChampion[2 * a] + FEndChampion[2 * a + 1];
  }
  tally.Won[contender] += won;
  tally.Tied[contender] += tied;
  tally.Share[contender] += share + won;
}

void TEndGame::TallyPrizes(const int* ids, bool even, double weight, TTally& tally) {
  TEndPrizeWork work;
  work.Count = FReachingCount;
  work.Reaching = FReaching.data();
  work.Reached = FReached.data();
  work.Totals = FEnd.data();
  work.Paid = P.Paid;
  work.Top = FTop.data();
  work.AtCut = &FAtCut;
  work.PaidUpTo = P.PaidUpTo.data();
  work.Digits = FDigits;
  work.ShareDigits = FShareDigits.data();
  work.Shares = FLaneShares.data();
  work.Weights = even ? nullptr : FLaneWeight.data();
  work.Weighed = FWeighed.data();
  work.Cents = FCents.data();
  work.Lanes = FPaidLanes.data();
  work.Prizes = FPrizes.data();
  work.Chances = FChances.data();
  LanesFor(P.EndVectors).Pay(work);
  // Even chances weigh every lane alike, repeats of an outcome included: cents and lanes are
  // counted, and weighed once.
  const double each = std::ldexp(weight, -kEndGames);
  for (int r = 0; r < FReachingCount; ++r) {
    const size_t k = static_cast<size_t>(r);
    const size_t player = static_cast<size_t>(ids[FReaching[k]]);
    tally.Prize[player] += even ? each * static_cast<double>(FCents[k]) : FPrizes[k];
    tally.Paid[player] += even ? each * FPaidLanes[k] : FChances[k];
  }
}

// The weight of each outcome of the end game below an outcome of weight `weight`, games
// weighed by the seeds: the chance of each pairing on the lines taken once.
void TEndGame::LaneWeights(double weight) {
  const size_t positions = P.EndAlive.size();
  for (size_t a = 0; a < positions; ++a) {
    for (size_t b = 0; b < positions; ++b)
      FPairChance[a * positions + b] = P.Chance({FEndTeams[a], FEndTeams[b]}, 0);
  }
  // Lanes beyond the outcomes repeat them and weigh nothing.
  FLaneWeight.assign(kEndLanes, 0.0);
  std::fill_n(FLaneWeight.begin(), P.EndOutcomes, weight);
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
}  // namespace OutlookSearch
