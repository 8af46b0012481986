#include "Scoring.h"

#include <algorithm>

#include "ReportsBase.h"
#include "SystemFile.h"
#include "TeamIndex.h"

TScoring::TScoring(const TSystemFile& system) {
  for (int k = TStandingsItem::kFirstRound; k <= TStandingsItem::kLastRound; ++k)
    FRoundPoints[static_cast<size_t>(k)] = system.RoundPoints(k);
}

void TScoredPicks::Read(const TPlayerPicksListObject& player, TTeamIndex& teams) {
  PickedTo.fill(0);
  for (int entry = 0; entry < TPlayerPicksListObject::kPickCount; ++entry) {
    const TPlayerPickArrayObject& pick = *player.Pick(entry);
    const int last = TReportsBase::LastPickedRound(pick.RoundReached());
    const auto e = static_cast<size_t>(entry);
    // Below 0 is as good as not on the chart; above 7 LastPickedRound has stopped already.
    Last[e] = static_cast<int8_t>(std::max(last, 0));
    // How far the player takes each line's team is read off the player's chart, which places
    // the entries by their region and seed.
    int8_t& picked =
        PickedTo[static_cast<size_t>(ChartPaths::FirstRoundLine(pick.Region(), pick.Seed()))];
    picked = std::max(picked, Last[e]);
    Team[e] = last < TStandingsItem::kFirstRound ? nullptr : teams.Find(entry, pick.TeamName());
  }
}

TResultsChart::TResultsChart(const TTeamsFile& teams) {
  for (const auto& team : teams.List()) {
    ChartPaths::PlaceUpTo(
        team->Region(), team->Seed(), team->RoundReached(),
        [this, &team](int32_t slot) { FTeams[static_cast<size_t>(slot)] = team.get(); });
  }
  for (int32_t line = 1; line <= ChartPaths::kLines; ++line) {
    for (int k = TStandingsItem::kFirstRound; k <= ChartPaths::kRounds; ++k) {
      FMet[static_cast<size_t>(line)][static_cast<size_t>(k)] =
          Team(ChartPaths::Opponent(ChartPaths::PathSlot(line, k - 1)));
    }
  }
}
