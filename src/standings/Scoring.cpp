#include "Scoring.h"

#include <algorithm>

#include "ReportsBase.h"
#include "SystemFile.h"
#include "TeamIndex.h"

TScoring::TScoring(const TSystemFile& system) {
  for (int k = TStandingsItem::kFirstRound; k <= TStandingsItem::kLastRound; ++k)
    FRoundPoints[static_cast<size_t>(k)] = system.RoundPoints(k);
}

int64_t TScoring::Points(const TWonGame& game) const {
  return FRoundPoints.at(static_cast<size_t>(game.Round));
}

void TScoredPicks::Read(const TPlayerPicksListObject& player, TTeamIndex& teams) {
  PickedTo.fill(0);
  for (int entry = 0; entry < TPlayerPicksListObject::kPickCount; ++entry) {
    const TPlayerPickArrayObject& pick = *player.Pick(entry);
    const int last = TReportsBase::LastPickedRound(pick.RoundReached());
    const auto e = static_cast<size_t>(entry);
    Team[e] = nullptr;
    Last[e] = static_cast<int8_t>(last);
    // A team left on its first-round line still met someone there: only an entry on no line
    // at all is passed over.
    const TTeamSeedObject* team = last < 1 ? nullptr : teams.Find(entry, pick.TeamName());
    if (team == nullptr)
      continue;
    const int32_t line = ChartPaths::FirstRoundLine(team->Region(), team->Seed());
    int8_t& picked = PickedTo[static_cast<size_t>(line)];
    picked = std::max(picked, Last[e]);
    if (last >= TStandingsItem::kFirstRound)
      Team[e] = team;
  }
}

TResultsChart::TResultsChart(const TTeamsFile& teams) {
  for (const auto& team : teams.List()) {
    ChartPaths::PlaceUpTo(
        team->Region(), team->Seed(), team->RoundReached(),
        [this, &team](int32_t slot) { FTeams[static_cast<size_t>(slot)] = team.get(); });
  }
}

TWonGame TResultsChart::GameWon(const TTeamSeedObject& winner, int k,
                                const TPickedRounds& picked) const {
  TWonGame game;
  game.Round = k;
  game.WinnerSeed = winner.Seed();
  const int32_t line = ChartPaths::FirstRoundLine(winner.Region(), winner.Seed());
  if (line == 0)
    return game;
  const TTeamSeedObject* loser = Team(ChartPaths::Opponent(ChartPaths::PathSlot(line, k - 1)));
  if (loser == nullptr)
    return game;
  game.LoserSeed = loser->Seed();
  const int32_t loserLine = ChartPaths::FirstRoundLine(loser->Region(), loser->Seed());
  game.LoserPicked = picked[static_cast<size_t>(loserLine)] >= k - 1;
  return game;
}
