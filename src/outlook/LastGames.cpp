// The last few games in full: every outcome, who wins each game, who finishes first, and who
// is paid what.

#include <algorithm>
#include <functional>

#include "Outlook.h"

namespace {

// Who is paid what in one outcome, in finish order: those level on points share the prizes
// of the places they span, listed in player-file order.
std::vector<TLastGamesOutcome::TPaid> PaidIn(const TOutlookInput& input,
                                             const std::vector<int64_t>& points,
                                             const std::vector<int64_t>& amounts) {
  // Whoever has the points of the last paid place or more: everyone paid, and all of those
  // level with them.
  std::vector<int64_t> highest(points);
  const auto last = highest.begin() + static_cast<std::ptrdiff_t>(amounts.size() - 1);
  std::nth_element(highest.begin(), last, highest.end(), std::greater<int64_t>());
  std::vector<int> ranked;
  for (size_t p = 0; p < points.size(); ++p) {
    if (points[p] >= *last)
      ranked.push_back(static_cast<int>(p));
  }
  std::stable_sort(ranked.begin(), ranked.end(), [&](int a, int b) {
    return points[static_cast<size_t>(a)] > points[static_cast<size_t>(b)];
  });
  std::vector<int> places;
  for (size_t r = 0; r < ranked.size(); ++r) {
    const bool level = r > 0 && points[static_cast<size_t>(ranked[r])] ==
                                    points[static_cast<size_t>(ranked[r - 1])];
    places.push_back(level ? places.back() : static_cast<int>(r) + 1);
  }
  const std::vector<int64_t> prizes = Prizes::Share(amounts, places);
  std::vector<TLastGamesOutcome::TPaid> paid;
  for (size_t r = 0; r < ranked.size(); ++r) {
    if (places[r] <= static_cast<int>(amounts.size()))
      paid.push_back({input.PlayerNames.at(ranked[r]), prizes[r]});
  }
  return paid;
}

}  // namespace

std::vector<TLastGamesOutcome> ListOutcomes(const TOutlookInput& input,
                                            const TOutlookOptions& options) {
  const int real = input.RealGames();
  const int players = input.PlayerCount();
  std::vector<TLastGamesOutcome> outcomes;
  const std::vector<int64_t> amounts = Prizes::PlaceAmounts(input.Prizes, players);
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
    if (!amounts.empty())
      listed.Paid = PaidIn(input, points, amounts);
    outcomes.push_back(std::move(listed));
  }
  return outcomes;
}
