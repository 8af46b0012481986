// The best and worst place each player can still finish in, searched for player by player.

#include "PlaceSearch.h"

#include <algorithm>
#include <limits>

namespace OutlookSearch {

int TPlaceSearch::Run(int i, bool worst, int found, int limit) {
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

void TPlaceSearch::Prepare(int i) {
  const size_t n = static_cast<size_t>(FPlayers);
  const size_t rows = static_cast<size_t>(FRowCount) * n;
  FDelta.assign(static_cast<size_t>(FByTeam ? FRowCount : FPairs.Count()) * n, 0);
  FMax.assign(rows, 0);
  FMin.assign(rows, 0);
  FRule.MostOf(i, FOwn.data());
  if (!FByTeam) {
    FOwnPairs.resize(static_cast<size_t>(FPairs.Count()));
    for (int g = 0; g < FGames; ++g) {
      const TGame& game = In.Games[static_cast<size_t>(g)];
      FPairs.ForEach(g, game, FCandidates, [&](int pair, int32_t winner, int32_t loser) {
        FOwnPairs[static_cast<size_t>(pair)] = FRule.Gain(i, game, winner, loser);
      });
    }
  }
  const auto live = [this](int t, int k) {
    return FRowOf[static_cast<size_t>(t) * kRowsPerTeam + static_cast<size_t>(k)] >= 0;
  };
  for (size_t j = 0; j < n; ++j) {
    // What a win into each round brings the other player less this one, at most (`top`) and
    // at least (`bottom`) over the teams it can beat.
    const int64_t* top = FOther.data();
    const int64_t* bottom = FOther.data();
    if (FByTeam) {
      FRule.MostOf(static_cast<int>(j), FOther.data());
      for (int t = 0; t < In.TeamCount(); ++t) {
        for (int k = 2; k <= kLastRound; ++k) {
          const size_t at = static_cast<size_t>(t) * kRowsPerTeam + static_cast<size_t>(k);
          FOther[at] -= FOwn[at];
          if (live(t, k))
            FDelta[Row(t, k) + j] = FOther[at];
        }
      }
    } else {
      std::fill(FOther.begin(), FOther.end(), std::numeric_limits<int64_t>::min());
      std::fill(FLeast.begin(), FLeast.end(), std::numeric_limits<int64_t>::max());
      for (int g = 0; g < FGames; ++g) {
        const TGame& game = In.Games[static_cast<size_t>(g)];
        FPairs.ForEach(g, game, FCandidates, [&](int pair, int32_t winner, int32_t loser) {
          const int64_t delta = FRule.Gain(static_cast<int>(j), game, winner, loser) -
                                FOwnPairs[static_cast<size_t>(pair)];
          FDelta[static_cast<size_t>(pair) * n + j] = delta;
          const size_t at =
              static_cast<size_t>(winner) * kRowsPerTeam + static_cast<size_t>(game.Round);
          FOther[at] = std::max(FOther[at], delta);
          FLeast[at] = std::min(FLeast[at], delta);
        });
      }
      bottom = FLeast.data();
    }
    // A team goes on only through the rounds it can still win its way into.
    for (int t = 0; t < In.TeamCount(); ++t) {
      const size_t pair = static_cast<size_t>(t) * kRowsPerTeam;
      for (int r = kLastRound - 1; r >= 1; --r) {
        if (!live(t, r) || !live(t, r + 1))
          continue;
        const size_t next = pair + static_cast<size_t>(r + 1);
        FMax[Row(t, r) + j] = std::max<int64_t>(0, top[next] + FMax[Row(t, r + 1) + j]);
        FMin[Row(t, r) + j] = std::min<int64_t>(0, bottom[next] + FMin[Row(t, r + 1) + j]);
      }
    }
  }
}

bool TPlaceSearch::Hopeless(int sure, int count) const {
  return FWorst ? 1 + sure + count <= FFound : 1 + sure >= FFound;
}

void TPlaceSearch::Walk(int depth, int sure) {
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
  const auto own = [&](int side) {
    return FByTeam ? FOwn[static_cast<size_t>(teams[static_cast<size_t>(side)]) * kRowsPerTeam +
                          static_cast<size_t>(game.Round)]
                   : FOwnPairs[static_cast<size_t>(FPairs.Of(depth, game, teams, side))];
  };
  int first = 0;
  if (game.Real) {
    const int64_t upper = own(0);
    const int64_t lower = own(1);
    first = (FWorst ? lower < upper : lower > upper) ? 1 : 0;
  }
  for (int s = 0; s < (game.Real ? 2 : 1); ++s) {
    const int side = s == 0 ? first : 1 - first;
    const int32_t winner = teams[static_cast<size_t>(side)];
    const int32_t loser = game.Real ? teams[static_cast<size_t>(1 - side)] : -1;
    FOcc[static_cast<size_t>(game.Slot)] = winner;
    const size_t won = Row(winner, game.Round);
    const size_t gained =
        FByTeam ? won : static_cast<size_t>(FPairs.Of(depth, game, teams, side)) * n;
    const size_t winnerWas = Row(winner, game.Round - 1);
    const size_t loserWas = loser >= 0 ? Row(loser, game.Round - 1) : 0;
    const size_t to = from + n;
    int kept = 0;
    int above = sure;
    for (int c = 0; c < count; ++c) {
      const size_t k = from + static_cast<size_t>(c);
      const size_t j = static_cast<size_t>(FIds[k]);
      const int64_t delta = FDelta[gained + j];
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
}  // namespace OutlookSearch
