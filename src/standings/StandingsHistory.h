#pragma once

#include <QString>
#include <cstdint>
#include <vector>

class TFFDataModule;

// How the pool got where it is: every player's points and place after each completed round.
// Nothing of it is stored; the chart as it stands holds every round's winners, so the
// standings after round k are the standings scored with each team only as far as it had got
// by then, ordered as the printed standings order them.
class TStandingsHistory {
 public:
  static inline const QString kTitle = QStringLiteral("Standings by Round");
  // What the listings say while there is no round to show.
  static inline const QString kNoRoundComplete = QStringLiteral("No round has been completed yet.");

  struct TPlayer {
    QString PlayerName;
    // The player's place in the player file, which tells apart players of the same name.
    int PlayerIndex = 0;
    int32_t TieBreakerPoints = 0;
    // Per completed round, in the order of Rounds().
    std::vector<int32_t> Points;
    std::vector<int> Places;
  };

  void Build(const TFFDataModule& pool);

  // The chart rounds (2..7) whose games have all been played, in order: round k is complete
  // once every line of chart round k holds its winner.
  const std::vector<int>& Rounds() const { return FRounds; }
  // Every player, in the finish order after the last completed round (player-file order when
  // no round is complete yet).
  const std::vector<TPlayer>& Players() const { return FPlayers; }

  // Whether every game deciding a line of chart round `round` has been played.
  static bool RoundComplete(const TFFDataModule& pool, int round);
  // A place as the listings write it: "1st", "2nd", "3rd", "4th", ..., "11th", "21st".
  static QString Ordinal(int place);

 private:
  std::vector<int> FRounds;
  std::vector<TPlayer> FPlayers;
};
