#include "Scoring.h"

#include <algorithm>

#include "ScoringRule.h"

TScoring::TScoring(TScoringRule rule, const TRoundPoints& points)
    : FRule(rule), FRoundPoints(points) {
  for (int k = 2; k <= ChartPaths::kRounds; ++k) {
    for (int32_t seed = 1; seed <= ChartPaths::kSeedsPerRegion; ++seed) {
      const auto r = static_cast<size_t>(k);
      const auto s = static_cast<size_t>(seed);
      FMost[r][s] = Points({k, seed, 0, false});
      FLeast[r][s] = FMost[r][s];
      for (int32_t loser = 1; loser <= ChartPaths::kSeedsPerRegion; ++loser) {
        for (const bool picked : {false, true}) {
          const int64_t points = Points({k, seed, loser, picked});
          FMost[r][s] = std::max(FMost[r][s], points);
          FLeast[r][s] = std::min(FLeast[r][s], points);
        }
      }
    }
  }
}

bool TScoring::DependsOnLoser() const {
  return ScoringRules::DependsOnLoser(FRule);
}

int64_t TScoring::Points(const TWonGame& game) const {
  const int64_t points = FRoundPoints[static_cast<size_t>(game.Round)];
  const int64_t winner = game.WinnerSeed;
  const int64_t loser = game.LoserSeed;
  const bool upset = loser > 0 && winner > loser;
  switch (FRule) {
    case TScoringRule::RoundPoints:
      break;
    case TScoringRule::SeedBonus:
      return points + winner;
    case TScoringRule::SeedTimesPoints:
      return points * winner;
    case TScoringRule::UpsetBonus:
      return upset && game.LoserPicked ? points + winner - loser : points;
    case TScoringRule::RelaxedUpsetBonus:
      return upset ? points + winner - loser : points;
    case TScoringRule::UpsetMultiplier:
      // Rounded up, in whole numbers: points are never negative.
      return upset ? (points * winner + loser - 1) / loser : points;
  }
  return points;
}

int64_t TScoring::Bound(int round, int32_t winnerSeed, bool most) const {
  if (winnerSeed >= 1 && winnerSeed <= ChartPaths::kSeedsPerRegion)
    return (most ? FMost : FLeast)[static_cast<size_t>(round)][static_cast<size_t>(winnerSeed)];
  // A seed no chart line has cannot meet anyone: it wins without a known loser.
  return Points({round, winnerSeed, 0, false});
}
