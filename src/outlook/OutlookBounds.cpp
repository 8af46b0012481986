// The bounds of a run: each player's highest and lowest final total over the bracket, and the
// rows by which a decided game moves each contender's total and bounds.

#include <algorithm>

#include "OutlookPlan.h"
#include "OutlookThreads.h"

namespace OutlookSearch {

template <typename TLane>
void TPlan<TLane>::ExtremeTotals() {
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
    Spread = *std::max_element(Max.begin(), Max.end()) - *std::min_element(Min.begin(), Min.end());
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

template <typename TLane>
void TPlan<TLane>::PlayerExtremes(int i, int64_t* gains,
                                  std::array<std::vector<int64_t>, kSlots + 1>& most,
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

template <typename TLane>
void TPlan<TLane>::ContenderRows() {
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

template <typename TLane>
void TPlan<TLane>::ContenderRow(int c, int64_t* gains) {
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
      Row(WinHi, t, k)[c] = static_cast<TLane>(gain[k] + most[static_cast<size_t>(k)] - most[was]);
      Row(LoseHi, t, k)[c] = static_cast<TLane>(-most[was]);
    }
  }
}

template <typename TLane>
void TPlan<TLane>::PlayerRows() {
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
template void TPlan<int16_t>::ExtremeTotals();
template void TPlan<int32_t>::ExtremeTotals();
template void TPlan<int64_t>::ExtremeTotals();
template void TPlan<int16_t>::ContenderRows();
template void TPlan<int32_t>::ContenderRows();
template void TPlan<int64_t>::ContenderRows();
template void TPlan<int16_t>::PlayerRows();
template void TPlan<int32_t>::PlayerRows();
template void TPlan<int64_t>::PlayerRows();
template void TPlan<int16_t>::ContenderRow(int, int64_t*);
template void TPlan<int32_t>::ContenderRow(int, int64_t*);
template void TPlan<int64_t>::ContenderRow(int, int64_t*);

}  // namespace OutlookSearch
