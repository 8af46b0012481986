#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "StandingsItem.h"

class TFFDataModule;

// Who picked what: for every team on the chart, how many players advanced it to each chart
// round; the champions most picked; and each player's picks no one else made. A pick is a
// team advanced to a chart round, as the standings score it: a player who takes a team to
// the champion's line picks it for every round on the way.
class TPickPopularity {
 public:
  static inline const QString kTitle = QStringLiteral("Pick Popularity");
  static constexpr int kFirstRound = TStandingsItem::kFirstRound;
  static constexpr int kLastRound = TStandingsItem::kLastRound;
  static constexpr int kRoundCount = TStandingsItem::kRoundCount;

  struct TTeam {
    QString TeamName;
    int32_t Region = 0;
    int32_t Seed = 0;
    // For chart round k = 2..7 at [k - 2]: the players who advance it to round k or further.
    std::array<int, kRoundCount> Players{};
    int PlayersFor(int k) const { return Players.at(static_cast<size_t>(k - kFirstRound)); }
  };
  // A team one player alone advanced to chart rounds From..To (From >= 2): nobody else took
  // it as far as From.
  struct TAlonePick {
    QString TeamName;
    int From = 0;
    int To = 0;
  };
  struct TPlayer {
    QString PlayerName;
    std::vector<TAlonePick> Alone;
  };

  void Build(const TFFDataModule& pool);

  int PlayerCount() const { return FPlayerCount; }
  // The teams on the chart, most picked first: by the players taking them furthest, the
  // champion's line first, then the round before, and so on; teams picked alike stay in
  // team-list order.
  const std::vector<TTeam>& Teams() const { return FTeams; }
  // The teams picked as champion by anyone, most picked first.
  std::vector<const TTeam*> Champions() const;
  // Every player, in player-file order, with the picks no one else made: the furthest first.
  const std::vector<TPlayer>& Players() const { return FPlayers; }
  // The share of the players (0..1) who advance `team` to chart round k; 0 with no players.
  double Share(const TTeam& team, int k) const;

  // A share as every listing shows it, in whole percent: "42%".
  static QString Percent(double share);
  // The rounds of a pick one player alone made, as the reports head them: "Rd 3 to Rd 6", or
  // "Rd 2" for one round.
  static QString Rounds(const TAlonePick& pick);

 private:
  int FPlayerCount = 0;
  std::vector<TTeam> FTeams;
  std::vector<TPlayer> FPlayers;
};
