// The last few games in full: every outcome, who wins each game, and who finishes first.

#include <algorithm>

#include "Outlook.h"

std::vector<TLastGamesOutcome> ListOutcomes(const TOutlookInput& input,
                                            const TOutlookOptions& options) {
  const int real = input.RealGames();
  const int players = input.PlayerCount();
  std::vector<TLastGamesOutcome> outcomes;
  for (uint64_t outcome = 0; outcome < (uint64_t{1} << real); ++outcome) {
    // The first game's side is the highest bit, so that outcomes come in the order of their
    // winners.
    std::array<int32_t, TOutlookInput::kSlots + 1> occupant = input.Occupant;
    std::vector<int64_t> points(input.Base);
    TLastGamesOutcome listed;
    listed.Chance = 1;
    int bit = real;
    for (const TOutlookInput::TGame& game : input.Games) {
      const int32_t a = occupant[static_cast<size_t>(game.Feeder[0])];
      const int32_t b = occupant[static_cast<size_t>(game.Feeder[1])];
      int32_t winner = a >= 0 ? a : b;
      int32_t loser = -1;
      if (game.Real) {
        const bool second = ((outcome >> --bit) & 1) != 0;
        winner = second ? b : a;
        loser = second ? a : b;
        listed.Chance *= TeamWinChance(input, options, winner, loser);
        listed.Winners << input.TeamNames.at(winner);
      }
      occupant[static_cast<size_t>(game.Slot)] = winner;
      for (int p = 0; p < players; ++p)
        points[static_cast<size_t>(p)] += input.GainAt(winner, game.Round, p, loser);
    }
    listed.Points = players > 0 ? *std::max_element(points.begin(), points.end()) : 0;
    for (int p = 0; p < players; ++p) {
      if (points[static_cast<size_t>(p)] == listed.Points)
        listed.First << input.PlayerNames.at(p);
    }
    outcomes.push_back(std::move(listed));
  }
  return outcomes;
}
