#pragma once

#include <array>
#include <cstdint>

#include "ChartPaths.h"
#include "PlayerPicksFile.h"
#include "Scoring.h"
#include "TeamsFile.h"

class TFFDataModule;
class TTeamIndex;

// The pool's scoring rule and points per round, as its files hold them.
TScoring PoolScoring(const TFFDataModule& pool);

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
