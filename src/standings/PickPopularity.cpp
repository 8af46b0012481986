#include "PickPopularity.h"

#include <QHash>
#include <algorithm>

#include "ChartPaths.h"
#include "FFDataModule.h"
#include "ReportsBase.h"
#include "TeamIndex.h"

namespace {
// How far the players take one team: the furthest round, how many players take it there, and
// the furthest round short of that.
struct TFurthest {
  int Top = 0;
  int TopCount = 0;
  int Next = 0;

  void Add(int round) {
    if (round > Top) {
      Next = Top;
      Top = round;
      TopCount = 1;
    } else if (round == Top) {
      ++TopCount;
    } else {
      Next = std::max(Next, round);
    }
  }
  // The furthest the others take the team, for a player who takes it to `round`.
  int Others(int round) const { return round == Top && TopCount == 1 ? Next : Top; }
};
}  // namespace

void TPickPopularity::Build(const TFFDataModule& pool) {
  FTeams.clear();
  FPlayers.clear();
  QHash<const TTeamSeedObject*, int> column;
  for (const auto& team : pool.TeamsFile().List()) {
    if (ChartPaths::FirstRoundLine(team->Region(), team->Seed()) == 0)
      continue;
    column.insert(team.get(), static_cast<int>(FTeams.size()));
    TTeam row;
    row.TeamName = team->TeamName();
    row.Region = team->Region();
    row.Seed = team->Seed();
    FTeams.push_back(row);
  }
  const size_t teamCount = FTeams.size();

  // How far each player takes each team; a team named by two entries counts once, as far as
  // the further takes it.
  const auto& players = pool.PlayerPicksFile().List();
  FPlayerCount = static_cast<int>(players.size());
  std::vector<uint8_t> furthest(players.size() * teamCount, 0);
  TTeamIndex index(pool.TeamsFile());
  for (size_t p = 0; p < players.size(); ++p) {
    for (int entry = 0; entry < TPlayerPicksListObject::kPickCount; ++entry) {
      const TPlayerPickArrayObject& pick = *players[p]->Pick(entry);
      const int last = ChartPaths::LastPickedRound(pick.RoundReached());
      if (last < kFirstRound)
        continue;
      const auto at = column.constFind(index.Find(entry, pick.TeamName()));
      if (at == column.constEnd())
        continue;
      uint8_t& cell = furthest[p * teamCount + static_cast<size_t>(*at)];
      cell = std::max(cell, static_cast<uint8_t>(last));
    }
  }

  std::vector<TFurthest> top(teamCount);
  for (size_t p = 0; p < players.size(); ++p) {
    for (size_t t = 0; t < teamCount; ++t) {
      const int last = furthest[p * teamCount + t];
      if (last < kFirstRound)
        continue;
      top[t].Add(last);
      for (int k = kFirstRound; k <= last; ++k)
        ++FTeams[t].Players[static_cast<size_t>(k - kFirstRound)];
    }
  }

  FPlayers.resize(players.size());
  for (size_t p = 0; p < players.size(); ++p) {
    FPlayers[p].PlayerName = players[p]->PlayerName();
    for (size_t t = 0; t < teamCount; ++t) {
      const int last = furthest[p * teamCount + t];
      const int from = std::max(top[t].Others(last) + 1, kFirstRound);
      if (last >= kFirstRound && from <= last)
        FPlayers[p].Alone.push_back({FTeams[t].TeamName, from, last});
    }
    std::stable_sort(FPlayers[p].Alone.begin(), FPlayers[p].Alone.end(),
                     [](const TAlonePick& a, const TAlonePick& b) { return a.To > b.To; });
  }

  std::stable_sort(FTeams.begin(), FTeams.end(), [](const TTeam& a, const TTeam& b) {
    return std::lexicographical_compare(a.Players.rbegin(), a.Players.rend(), b.Players.rbegin(),
                                        b.Players.rend(), std::greater<int>());
  });
}

std::vector<const TPickPopularity::TTeam*> TPickPopularity::Champions() const {
  // The teams are in order of the champion's line first already.
  std::vector<const TTeam*> champions;
  for (const TTeam& team : FTeams) {
    if (team.PlayersFor(kLastRound) > 0)
      champions.push_back(&team);
  }
  return champions;
}

double TPickPopularity::Share(const TTeam& team, int k) const {
  return FPlayerCount > 0 ? static_cast<double>(team.PlayersFor(k)) / FPlayerCount : 0.0;
}

QString TPickPopularity::Percent(double share) {
  return QStringLiteral("%1%").arg(qRound(share * 100));
}

QString TPickPopularity::Rounds(const TAlonePick& pick) {
  // Chart round k is reached by winning the game of tournament round k - 1.
  if (pick.From == pick.To)
    return QStringLiteral("Rd %1").arg(pick.To - 1);
  return QStringLiteral("Rd %1 to Rd %2").arg(pick.From - 1).arg(pick.To - 1);
}
