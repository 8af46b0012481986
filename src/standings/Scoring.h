#pragma once

#include <array>
#include <cstdint>

#include "ChartPaths.h"
#include "PlayerPicksFile.h"
#include "ScoringFile.h"

class TFFDataModule;
class TTeamIndex;

// A game that a player's pick won, as the scoring rule reads it: the chart round its winner
// reached by it (2..7), both teams' seeds, and whether the same player had also advanced the
// loser to this game.
struct TWonGame {
  int Round = 0;
  int32_t WinnerSeed = 0;
  // 0 while the loser is not known: a game still to be played, or a line the chart left empty.
  int32_t LoserSeed = 0;
  bool LoserPicked = false;
};

// What a correct pick earns for the game its team won, under the pool's scoring rule
// (TScoringRule): the round's points (the system file's RoundPoints), and by the rule a bonus
// for the winner's seed or for an upset, a winner of a higher seed number than its loser's.
// Every score of the program comes from here: the standings and their reports, the outlook,
// the page and the command-line tool.
class TScoring {
 public:
  // Points of a correct pick by chart round (index 2..7).
  using TRoundPoints = std::array<int64_t, ChartPaths::kRounds + 1>;

  explicit TScoring(const TFFDataModule& pool);
  // A rule and points not yet stored, as the options window shows them.
  TScoring(TScoringRule rule, const TRoundPoints& points) : FRule(rule), FRoundPoints(points) {}

  TScoringRule Rule() const { return FRule; }
  // Whether what a game earns depends on who lost it (ScoringRules::DependsOnLoser).
  bool DependsOnLoser() const { return ScoringRules::DependsOnLoser(FRule); }

  int64_t Points(const TWonGame& game) const {
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

 private:
  TScoringRule FRule;
  TRoundPoints FRoundPoints{};
};

// How far one player advances the team of each first-round line (by line 1..64; 0 for none).
using TPickedRounds = std::array<int8_t, ChartPaths::kLines + 1>;

// One player's pick entries as scoring reads them: the team each entry names and the last
// chart round it advances that team to, and how far the player's chart takes the team of each
// first-round line. An entry that advances its team nowhere, or names no team of the pool, has
// no team: it scores nothing.
struct TScoredPicks {
  std::array<const TTeamSeedObject*, TPlayerPicksListObject::kPickCount> Team{};
  std::array<int8_t, TPlayerPicksListObject::kPickCount> Last{};
  TPickedRounds PickedTo{};

  void Read(const TPlayerPicksListObject& player, TTeamIndex& teams);
};

// The results chart as scoring reads it: each team in list order on the lines of its path up
// to the round it reached, a later team taking a line from an earlier one, as the bracket
// builder places them. `round` (2..7) keeps only the games up to that chart round, as the
// pool stood once they were played.
class TResultsChart {
 public:
  explicit TResultsChart(const TTeamsFile& teams, int round = ChartPaths::kRounds);

  // The team on slot 1..127; nullptr where none stands.
  const TTeamSeedObject* Team(int32_t slot) const { return FTeams[static_cast<size_t>(slot)]; }
  // The game `winner` won to reach chart round k (2..7), for a player who advances the teams
  // as `picked` says: its loser is the team on the line that met the winner's.
  TWonGame GameWon(const TTeamSeedObject& winner, int k, const TPickedRounds& picked) const {
    TWonGame game;
    game.Round = k;
    game.WinnerSeed = winner.Seed();
    const int32_t line = ChartPaths::FirstRoundLine(winner.Region(), winner.Seed());
    const TTeamSeedObject* loser =
        line == 0 ? nullptr : FMet[static_cast<size_t>(line)][static_cast<size_t>(k)];
    if (loser != nullptr) {
      game.LoserSeed = loser->Seed();
      const int32_t loserLine = ChartPaths::FirstRoundLine(loser->Region(), loser->Seed());
      game.LoserPicked = picked[static_cast<size_t>(loserLine)] >= k - 1;
    }
    return game;
  }

  // The most `picks` can still earn in the games not played yet, over every way they can go.
  // Where what a game earns depends on its loser, one pick's best case may need an outcome
  // that another's rules out, so this is the best over the bracket's tree: one pass per game
  // over the teams that can still reach it.
  int64_t MostStillToCome(const TScoring& scoring, const TScoredPicks& picks) const;

 private:
  std::array<const TTeamSeedObject*, ChartPaths::kSlotCount + 1> FTeams{};
  // Scoring asks for every correct pick of every player: the team each line's team met in
  // each chart round, looked up once. Index [line][round]; nullptr where none stood there.
  std::array<std::array<const TTeamSeedObject*, ChartPaths::kRounds + 1>, ChartPaths::kLines + 1>
      FMet{};
};
