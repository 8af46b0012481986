#pragma once

#include <array>
#include <cstdint>

#include "ChartPaths.h"
#include "ScoringRuleFwd.h"

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

  TScoring(TScoringRule rule, const TRoundPoints& points);

  TScoringRule Rule() const { return FRule; }
  // Whether what a game earns depends on who lost it (ScoringRules::DependsOnLoser).
  bool DependsOnLoser() const;

  int64_t Points(const TWonGame& game) const;
  // The most and the least a win into chart round `round` (2..7) by a team of `winnerSeed`
  // can earn before its loser is known: over every seed it can beat, picked by the player to
  // get there or not, and no loser at all.
  int64_t MostWin(int round, int32_t winnerSeed) const { return Bound(round, winnerSeed, true); }
  int64_t LeastWin(int round, int32_t winnerSeed) const { return Bound(round, winnerSeed, false); }

 private:
  int64_t Bound(int round, int32_t winnerSeed, bool most) const;

  TScoringRule FRule;
  TRoundPoints FRoundPoints{};
  // MostWin and LeastWin of the seeds a chart has, by [round][seed], worked out once: the
  // outlook asks for every pick of every player.
  using TBounds = std::array<std::array<int64_t, ChartPaths::kSeedsPerRegion + 1>,
                             ChartPaths::kRounds + 1>;
  TBounds FMost{};
  TBounds FLeast{};
};
