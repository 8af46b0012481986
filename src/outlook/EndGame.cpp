// The end game: the last games of the search played by table, all their outcomes at once in
// vector registers (its plan: EndGamePlan.cpp).

#include "EndGame.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

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
#include "EndGamePrizes.inc"
#undef END_VECTORS
#undef END_VECTOR_BYTES

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define END_GAME_WIDE_VECTORS 1
#pragma GCC push_options
#pragma GCC target("avx2,popcnt")
#define END_VECTORS Avx2Vectors
#define END_VECTOR_BYTES 32
#include "EndGameLanes.inc"
#include "EndGamePrizes.inc"
#undef END_VECTORS
#undef END_VECTOR_BYTES
#pragma GCC pop_options
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512vl,popcnt")
#define END_VECTORS Avx512Vectors
#define END_VECTOR_BYTES 64
#include "EndGameLanes.inc"
#include "EndGamePrizes.inc"
#undef END_VECTORS
#undef END_VECTOR_BYTES
#pragma GCC pop_options
#endif

// The vector part of the end game on the instructions chosen (TPlan::EndVectors).
struct TLanes {
  decltype(&PlainVectors::PlayEndGame) Play;
  decltype(&PlainVectors::PayEndGame) Pay;
  decltype(&PlainVectors::CountEndLanes) Count;
  decltype(&PlainVectors::Soles) Soles;
  decltype(&PlainVectors::SplitWeights) Split;
};

TLanes LanesFor(TOutlookVectors vectors) {
#if defined(END_GAME_WIDE_VECTORS)
  if (vectors == TOutlookVectors::Avx512)
    return {Avx512Vectors::PlayEndGame, Avx512Vectors::PayEndGame, Avx512Vectors::CountEndLanes,
            Avx512Vectors::Soles, Avx512Vectors::SplitWeights};
  if (vectors == TOutlookVectors::Avx2)
    return {Avx2Vectors::PlayEndGame, Avx2Vectors::PayEndGame, Avx2Vectors::CountEndLanes,
            Avx2Vectors::Soles, Avx2Vectors::SplitWeights};
#else
  (void)vectors;
#endif
  return {PlainVectors::PlayEndGame, PlainVectors::PayEndGame, PlainVectors::CountEndLanes,
          PlainVectors::Soles, PlainVectors::SplitWeights};
}

}  // namespace

TOutlookVectors WidestVectors(TOutlookVectors most) {
#if defined(END_GAME_WIDE_VECTORS)
  if (most == TOutlookVectors::Avx512 && __builtin_cpu_supports("avx512f") &&
      __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl"))
    return TOutlookVectors::Avx512;
  if (most != TOutlookVectors::Plain && __builtin_cpu_supports("avx2"))
    return TOutlookVectors::Avx2;
#else
  (void)most;
#endif
  return TOutlookVectors::Plain;
}

TEndGame::TEndGame(const TPlan<int16_t>& plan) : P(plan) {
  const size_t positions = P.EndAlive.size();
  FEnd.resize(static_cast<size_t>(P.Count));
  FEndTeams.resize(positions);
  FEndChampionOf.resize(positions);
  FStanding.resize(P.EndGainOf.size() + 1);
  FSoles.resize(kEndLanes);
  // Four cells per line for each contender first alone in some lane, and four past the last.
  FSoleWeight.resize((kEndLanes + 1) * positions * 4);
  FEndCounts.resize(1 + positions);
  FInverse.resize(static_cast<size_t>(P.Count) + 1);
  for (size_t k = 1; k < FInverse.size(); ++k)
    FInverse[k] = 1.0 / static_cast<double>(k);
  // The cell past the last always stands: see TPlan::EndLoserCell.
  FStands.assign(static_cast<size_t>(P.EndCells) + 1, 0);
  FStands.back() = 1;
  FPairChance.resize(positions * positions);
  // Lanes beyond the outcomes repeat them and weigh nothing.
  FLaneWeight.assign(kEndLanes, 0.0);
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
  if (!even) {
    TallyWeighted(ids, tally);
    return;
  }
  for (int l = 0; l < FLeaderCount; ++l) {
    const int c = FLeaders[static_cast<size_t>(l)];
    TallyEven(FEndBits[static_cast<size_t>(c)], each, static_cast<size_t>(ids[c]), tally);
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

void TEndGame::TallyWeighted(const int* ids, TTally& tally) {
  const size_t positions = P.EndAlive.size();
  // The lanes one contender alone is first in: their weight goes to that contender and the
  // line whose team is champion there, summed lane by lane four ways in turn, so that lanes
  // in a row with the same first and champion need not wait on one another.
  const int soles =
      LanesFor(P.EndVectors)
          .Soles(FEndBits.data(), FLeaders.data(), FLeaderCount, FEndSole, P.EndChampion,
                 static_cast<int>(positions), FSoleCells, FSoles.data());
  const size_t cells = (static_cast<size_t>(soles) + 1) * positions * 4;
  double* __restrict sums = FSoleWeight.data();
  const double* __restrict weights = FLaneWeight.data();
  const int16_t* __restrict cellOf = FSoleCells.Lane;
  std::fill_n(sums, cells, 0.0);
  for (int lane = 0; lane < P.EndOutcomes; ++lane)
    sums[cellOf[lane]] += weights[lane];
  for (int s = 0; s < soles; ++s) {
    const size_t contender = static_cast<size_t>(ids[FSoles[static_cast<size_t>(s)]]);
    double* champions = &tally.Champion[contender * static_cast<size_t>(P.Champions)];
    const double* sum = sums + static_cast<size_t>(s) * positions * 4;
    double won = 0;
    for (size_t a = 0; a < positions; ++a) {
      const double weight = sum[4 * a] + sum[4 * a + 1] + sum[4 * a + 2] + sum[4 * a + 3];
      if (const int k = FEndChampionOf[a]; k >= 0)
        champions[k] += weight;
      won += weight;
    }
    tally.Won[contender] += won;
    tally.Share[contender] += won;
  }
  // The lanes several are first in, for each of them.
  TEndBits tied;
  uint64_t any = 0;
  for (size_t word = 0; word < tied.size(); ++word) {
    tied[word] = P.EndUsed[word] & ~FEndSole[word];
    any |= tied[word];
  }
  for (int l = 0; any != 0 && l < FLeaderCount; ++l) {
    const int c = FLeaders[static_cast<size_t>(l)];
    const TEndBits& lanes = FEndBits[static_cast<size_t>(c)];
    uint64_t ties = 0;
    for (size_t word = 0; word < lanes.size(); ++word)
      ties |= lanes[word] & tied[word];
    if (ties == 0)
      continue;
    const size_t contender = static_cast<size_t>(ids[c]);
    double* champions = &tally.Champion[contender * static_cast<size_t>(P.Champions)];
    double share = 0, weight = 0;
    for (size_t word = 0; word < lanes.size(); ++word) {
      for (uint64_t bits = lanes[word] & tied[word]; bits != 0; bits &= bits - 1) {
        const size_t lane = word * 64 + static_cast<size_t>(__builtin_ctzll(bits));
        weight += FLaneWeight[lane];
        share += FLaneWeight[lane] * FInverse[static_cast<size_t>(FEndFirsts.Lane[lane])];
        if (const int k = FEndChampionOf[static_cast<size_t>(P.EndChampion.Lane[lane])]; k >= 0)
          champions[k] += FLaneWeight[lane];
      }
    }
    tally.Tied[contender] += weight;
    tally.Share[contender] += share;
  }
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
  LanesFor(P.EndVectors)
      .Split(weight, FPairChance.data(), P.EndSides.data(), P.EndOutcomes, FLaneWeight.data());
}
}  // namespace OutlookSearch
