#include "StandingsHistory.h"

#include "ChartPaths.h"
#include "FFDataModule.h"
#include "StandingsByPoints.h"

bool TStandingsHistory::RoundComplete(const TFFDataModule& pool, int round) {
  if (round < TStandingsItem::kFirstRound || round > TStandingsItem::kLastRound)
    return false;
  const int32_t lines = ChartPaths::RoundSlots(round);
  // The builder keeps one team on each line it fills, so the teams on the chart that got as
  // far as this round are the winners standing on its lines.
  int32_t winners = 0;
  for (const auto& team : pool.TeamsFile().List()) {
    const bool placed = ChartPaths::FirstRoundLine(team->Region(), team->Seed()) != 0;
    if (placed && team->RoundReached() >= round)
      ++winners;
  }
  return winners >= lines;
}

void TStandingsHistory::Build(const TFFDataModule& pool) {
  FRounds.clear();
  FPlayers.clear();
  for (int k = TStandingsItem::kFirstRound;
       k <= TStandingsItem::kLastRound && RoundComplete(pool, k); ++k) {
    FRounds.push_back(k);
  }

  const auto& players = pool.PlayerPicksFile().List();
  FPlayers.resize(players.size());
  for (size_t i = 0; i < players.size(); ++i) {
    FPlayers[i].PlayerName = players[i]->PlayerName();
    FPlayers[i].PlayerIndex = static_cast<int>(i);
    FPlayers[i].TieBreakerPoints = players[i]->TieBreakerPoints();
    FPlayers[i].Points.resize(FRounds.size());
    FPlayers[i].Places.resize(FRounds.size());
  }
  std::vector<int> finishOrder;
  for (size_t r = 0; r < FRounds.size(); ++r) {
    TStandingsByPoints standings;
    standings.BuildAfterRound(pool, FRounds[r]);
    finishOrder.clear();
    for (int row = 0; row < static_cast<int>(standings.Items().size()); ++row) {
      const TStandingsItem& item = standings.StandingsItem(row);
      TPlayer& player = FPlayers.at(static_cast<size_t>(item.PlayerIndex()));
      player.Points[r] = item.CurrentPoints();
      player.Places[r] = standings.Place(row);
      finishOrder.push_back(item.PlayerIndex());
    }
  }
  if (finishOrder.empty())
    return;
  std::vector<TPlayer> ordered;
  ordered.reserve(FPlayers.size());
  for (const int index : finishOrder)
    ordered.push_back(std::move(FPlayers[static_cast<size_t>(index)]));
  FPlayers = std::move(ordered);
}

QString TStandingsHistory::Ordinal(int place) {
  const int tens = place % 100;
  const int units = place % 10;
  const char* suffix = "th";
  if (tens < 11 || tens > 13) {
    if (units == 1)
      suffix = "st";
    else if (units == 2)
      suffix = "nd";
    else if (units == 3)
      suffix = "rd";
  }
  return QString::number(place) + QLatin1String(suffix);
}
