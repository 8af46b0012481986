// The bounds of a run: each player's highest and lowest final total over the bracket, and the
// rows by which a decided game moves each contender's total and bounds.

#include <algorithm>
#include <limits>

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
  if (ByTeam)
    Rule.MostOf(i, gains);
  int64_t high = In.Base[static_cast<size_t>(i)];
  int64_t low = high;
  for (int g = 0; g < GameCount; ++g) {
    const TGame& game = In.Games[static_cast<size_t>(g)];
    const size_t s = static_cast<size_t>(game.Slot);
    size_t at = 0;
    for (int side = 0; side < (game.Real ? 2 : 1); ++side) {
      const size_t own = static_cast<size_t>(game.Feeder[static_cast<size_t>(side)]);
      const size_t other = static_cast<size_t>(game.Feeder[static_cast<size_t>(1 - side)]);
      for (size_t c = 0; c < Candidates[own].size(); ++c, ++at) {
        const int32_t winner = Candidates[own][c];
        int64_t best = 0, worst = 0;
        if (ByTeam || !game.Real) {
          const int64_t gain = ByTeam ? gains[static_cast<size_t>(winner) * kRowsPerTeam +
                                              static_cast<size_t>(game.Round)]
                                      : Rule.Gain(i, game, winner, -1);
          best = gain + (game.Real ? extreme(most[other], true) : 0);
          worst = gain + (game.Real ? extreme(least[other], false) : 0);
        } else {
          // The gain depends on the loser: the best and worst over every team that can come
          // from the other side.
          best = std::numeric_limits<int64_t>::min();
          worst = std::numeric_limits<int64_t>::max();
          for (size_t d = 0; d < Candidates[other].size(); ++d) {
            const int64_t gain = Rule.Gain(i, game, winner, Candidates[other][d]);
            best = std::max(best, gain + most[other][d]);
            worst = std::min(worst, gain + least[other][d]);
          }
        }
        most[s][at] = most[own][c] + best;
        least[s][at] = least[own][c] + worst;
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
  const size_t winRows = static_cast<size_t>(WinRows()) * Stride;
  Base.assign(Stride, 0);
  Zero.assign(Stride, 0);
  if (!Way.Exact)
    return;
  Gain.assign(winRows, 0);
  MaxGain.assign(rows, 0);
  MinGain.assign(rows, 0);
  WinLo.assign(winRows, 0);
  LoseLo.assign(rows, 0);
  WinHi.assign(winRows, 0);
  LoseHi.assign(rows, 0);
  SplitOverThreads(Threads(), Count, [this](int64_t from, int64_t to) {
    const size_t size = static_cast<size_t>(Teams) * kRowsPerTeam;
    std::vector<int64_t> most(size), least(size), up(size), down(size);
    for (int64_t c = from; c < to; ++c)
      ContenderRow(static_cast<int>(c), most.data(), least.data(), up.data(), down.data());
  });
}

template <typename TLane>
void TPlan<TLane>::ContenderRow(int c, int64_t* most, int64_t* least, int64_t* up, int64_t* down) {
  const int i = Contenders[static_cast<size_t>(c)];
  Rule.MostOf(i, most);
  if (ByTeam)
    std::copy_n(most, static_cast<size_t>(Teams) * kRowsPerTeam, least);
  else
    Rule.LeastOf(i, least);
  Base[static_cast<size_t>(c)] = static_cast<TLane>(In.Base[static_cast<size_t>(i)]);
  for (int t = 0; t < Teams; ++t) {
    const size_t pair = static_cast<size_t>(t) * kRowsPerTeam;
    // Going on from round r: the best and worst of stopping after any later round it can
    // still win its way into.
    std::fill_n(up + pair, kRowsPerTeam, 0);
    std::fill_n(down + pair, kRowsPerTeam, 0);
    for (int r = 1; r <= kLastRound; ++r) {
      int64_t high = 0, low = 0;
      for (int k = r + 1; k <= kLastRound && RowIndex(t, k) >= 0; ++k) {
        high += most[pair + static_cast<size_t>(k)];
        low += least[pair + static_cast<size_t>(k)];
        up[pair + static_cast<size_t>(r)] = std::max(up[pair + static_cast<size_t>(r)], high);
        down[pair + static_cast<size_t>(r)] = std::min(down[pair + static_cast<size_t>(r)], low);
      }
    }
    for (int k = 1; k <= kLastRound; ++k) {
      if (RowIndex(t, k) < 0)
        continue;
      const size_t now = pair + static_cast<size_t>(k);
      if (ByTeam)
        Row(Gain, t, k)[c] = static_cast<TLane>(most[now]);
      Row(MaxGain, t, k)[c] = static_cast<TLane>(up[now]);
      Row(MinGain, t, k)[c] = static_cast<TLane>(down[now]);
      if (k < 2 || RowIndex(t, k - 1) < 0)
        continue;
      // A winner moves from round k-1 to k and takes its gain; a loser's future goes.
      Row(LoseLo, t, k)[c] = static_cast<TLane>(-down[now - 1]);
      Row(LoseHi, t, k)[c] = static_cast<TLane>(-up[now - 1]);
      if (!ByTeam)
        continue;
      Row(WinLo, t, k)[c] = static_cast<TLane>(most[now] + down[now] - down[now - 1]);
      Row(WinHi, t, k)[c] = static_cast<TLane>(most[now] + up[now] - up[now - 1]);
    }
  }
  if (ByTeam)
    return;
  // Gains that depend on the loser: a row for each winner and loser a game can have.
  for (int g = 0; g < GameCount; ++g) {
    const TGame& game = In.Games[static_cast<size_t>(g)];
    Pairs.ForEach(g, game, Candidates, [&](int row, int32_t winner, int32_t loser) {
      const int64_t gain = Rule.Gain(i, game, winner, loser);
      const size_t now =
          static_cast<size_t>(winner) * kRowsPerTeam + static_cast<size_t>(game.Round);
      const size_t at = static_cast<size_t>(row) * Stride + static_cast<size_t>(c);
      Gain[at] = static_cast<TLane>(gain);
      WinLo[at] = static_cast<TLane>(gain + down[now] - down[now - 1]);
      WinHi[at] = static_cast<TLane>(gain + up[now] - up[now - 1]);
    });
  }
}

template <typename TLane>
void TPlan<TLane>::PlayerRows() {
  AllBase.assign(AllStride, 0);
  AllZero.assign(AllStride, 0);
  AllGain.assign(static_cast<size_t>(ByTeam ? AllRowCount : Pairs.Count()) * AllStride, 0);
  SplitOverThreads(Threads(), Players, [this](int64_t from, int64_t to) {
    std::vector<int64_t> gains(static_cast<size_t>(Teams) * kRowsPerTeam);
    for (int64_t i = from; i < to; ++i) {
      const size_t player = static_cast<size_t>(i);
      AllBase[player] = static_cast<TLane>(In.Base[player]);
      if (!ByTeam) {
        for (int g = 0; g < GameCount; ++g) {
          const TGame& game = In.Games[static_cast<size_t>(g)];
          Pairs.ForEach(g, game, Candidates, [&](int row, int32_t winner, int32_t loser) {
            AllGain[static_cast<size_t>(row) * AllStride + player] =
                static_cast<TLane>(Rule.Gain(static_cast<int>(i), game, winner, loser));
          });
        }
        continue;
      }
      Rule.MostOf(static_cast<int>(i), gains.data());
      for (size_t pair = 0; pair < AllRowOf.size(); ++pair) {
        if (AllRowOf[pair] >= 0)
          AllGain[static_cast<size_t>(AllRowOf[pair]) * AllStride + player] =
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
template void TPlan<int16_t>::ContenderRow(int, int64_t*, int64_t*, int64_t*, int64_t*);
template void TPlan<int32_t>::ContenderRow(int, int64_t*, int64_t*, int64_t*, int64_t*);
template void TPlan<int64_t>::ContenderRow(int, int64_t*, int64_t*, int64_t*, int64_t*);

}  // namespace OutlookSearch
