#include <algorithm>
#include <cstdlib>

#include "ChartGeometry.h"
#include "FFDataModule.h"
#include "Outlook.h"
#include "ReportsBase.h"
#include "TeamIndex.h"

namespace {

using ChartGeometry::FirstFeeder;
using ChartGeometry::kChampionSlot;
using ChartGeometry::SlotRound;

constexpr int kFirstScoringRound = TStandingsItem::kFirstRound;
constexpr int kLastRound = TStandingsItem::kLastRound;

// The first-round line of a region and seed, 0 when there is none: the chart places a team
// only where its region and seed name a line.
int32_t FirstRoundLine(int32_t region, int32_t seed) {
  if (region < 1 || region > ChartGeometry::kRegions)
    return 0;
  for (int32_t line = 0; line < ChartGeometry::kSeedsPerRegion; ++line) {
    if (ChartGeometry::kSeedOrder[static_cast<size_t>(line)] == seed)
      return (region - 1) * ChartGeometry::kSeedsPerRegion + line + 1;
  }
  return 0;
}

}  // namespace

int TOutlookInput::RealGames() const {
  return static_cast<int>(
      std::count_if(Games.begin(), Games.end(), [](const TGame& game) { return game.Real; }));
}

TOutlookInput TOutlookInput::FromPool(const TFFDataModule& pool) {
  TOutlookInput input;
  const auto& teams = pool.TeamsFile().List();
  const auto& players = pool.PlayerPicksFile().List();
  const size_t playerCount = players.size();

  // The results chart as the bracket builder rebuilds it: each team in list order on the lines
  // of its path up to the round it has reached, a later team taking a line from an earlier one.
  input.Occupant.fill(-1);
  for (size_t t = 0; t < teams.size(); ++t) {
    const TTeamSeedObject& team = *teams[t];
    input.TeamNames << team.TeamName();
    input.Seeds.push_back(team.Seed());
    input.Reached.push_back(team.RoundReached());
    int32_t slot = FirstRoundLine(team.Region(), team.Seed());
    const int32_t last = std::min<int32_t>(team.RoundReached(), kLastRound);
    for (int32_t round = 1; slot != 0 && round <= last; ++round) {
      input.Occupant[static_cast<size_t>(slot)] = static_cast<int32_t>(t);
      slot = slot == kChampionSlot ? 0 : ChartGeometry::NextSlot(slot);
    }
  }

  // Which lines some team can still get to, and so which empty lines are games.
  std::array<bool, kSlots + 1> reachable{};
  for (int32_t slot = 1; slot <= kSlots; ++slot) {
    const bool filled = input.Occupant[static_cast<size_t>(slot)] >= 0;
    if (filled || slot <= ChartGeometry::kRoundBase[1]) {
      reachable[static_cast<size_t>(slot)] = filled;
      continue;
    }
    TGame game;
    game.Slot = slot;
    game.Round = SlotRound(slot);
    game.Feeder = {FirstFeeder(slot), FirstFeeder(slot) + 1};
    const bool upper = reachable[static_cast<size_t>(game.Feeder[0])];
    const bool lower = reachable[static_cast<size_t>(game.Feeder[1])];
    reachable[static_cast<size_t>(slot)] = upper || lower;
    if (!upper && !lower)
      continue;
    game.Real = upper && lower;
    if (!upper)
      std::swap(game.Feeder[0], game.Feeder[1]);
    input.Games.push_back(game);
  }

  // Scoring, pick by pick, as the standings score: a pick counts for chart round k once its
  // team has got there. What the team has already reached is earned; what it could still
  // reach is a gain that comes with the game that takes it there.
  std::array<int64_t, kLastRound + 1> points{};
  for (int k = kFirstScoringRound; k <= kLastRound; ++k)
    points[static_cast<size_t>(k)] = pool.SystemFile().RoundPoints(k);
  TTeamIndex index(pool.TeamsFile());
  // The index answers with the team object; its place in the list is what the chart uses.
  QHash<const TTeamSeedObject*, size_t> listPlace;
  for (size_t t = 0; t < teams.size(); ++t)
    listPlace.insert(teams[t].get(), t);
  input.Base.assign(playerCount, 0);
  input.Gain.assign(teams.size() * 8 * playerCount, 0);
  for (size_t p = 0; p < playerCount; ++p) {
    const TPlayerPicksListObject& player = *players[p];
    input.PlayerNames << player.PlayerName();
    for (int entry = 0; entry < TPlayerPicksListObject::kPickCount; ++entry) {
      const TPlayerPickArrayObject& pick = *player.Pick(entry);
      const int last = TReportsBase::LastPickedRound(pick.RoundReached());
      if (last < kFirstScoringRound)
        continue;
      const TTeamSeedObject* team = index.Find(entry, pick.TeamName());
      if (team == nullptr)
        continue;
      const size_t t = listPlace.value(team);
      for (int k = kFirstScoringRound; k <= last; ++k) {
        if (team->RoundReached() >= k) {
          input.Base[p] += points[static_cast<size_t>(k)];
        } else {
          input.Gain[(t * 8 + static_cast<size_t>(k)) * playerCount + p] +=
              points[static_cast<size_t>(k)];
        }
      }
    }
  }
  const int64_t actual = pool.SystemFile().TieBreakerPoints();
  for (size_t p = 0; p < playerCount && actual > 0; ++p)
    input.GuessDistance.push_back(std::abs(players[p]->TieBreakerPoints() - actual));
  return input;
}
