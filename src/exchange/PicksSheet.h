#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "ChartPaths.h"

class TFFDataModule;
class TPlayerPicksListObject;
class TTeamSeedObject;
class TTeamsFile;

// The players' picks as a spreadsheet: one row a player with the name, the tie-breaker guess
// and the winner of each of the 63 games, by team name, in slot order (the 32 first-round games
// of the four brackets, then the later rounds, the two semifinals and the champion). A header
// row names every game so that a person can fill the sheet in by hand.
class TPicksSheet {
 public:
  static constexpr int kNameColumn = 0;
  static constexpr int kGuessColumn = 1;
  static constexpr int kFirstGameColumn = 2;
  static constexpr int kGameCount = ChartPaths::kGameCount;
  static constexpr int kColumnCount = kFirstGameColumn + kGameCount;

  static inline const QString kNameTitle = QStringLiteral("Player Name");
  static inline const QString kGuessTitle = QStringLiteral("Total Points (tie-breaker)");
  static inline const QString kExampleName = QStringLiteral("Example: higher seed wins");

  using TGame = ChartPaths::TGame;

  explicit TPicksSheet(const TFFDataModule& pool);

  // The title of one column: "Player Name", or a game's, such as "East R1: (1) A v (16) B".
  QString Title(int column) const;
  // Every column's title. Made when first asked for: an entry read by the picks server wants
  // the titles of its mistakes only.
  const QStringList& Header() const;
  const std::vector<TGame>& Games() const { return FGames; }
  // The first-round slot (1..64) of each team of the teams file, in list order; 0 for a team
  // not placed on the chart.
  const std::vector<int>& TeamSlots() const { return FTeamSlots; }

  // The header and one example row in which the better seed wins every game.
  QByteArray Template() const;
  // The header and every player of the pool, in file order.
  QByteArray Export() const;

  // The cells of one player's row, as Export writes them: the player's picks placed on a chart
  // as the player entry window places them, then the team on each game's slot.
  QStringList PlayerRow(const TPlayerPicksListObject& player) const;

 private:
  std::vector<TGame> FGames;
  // Each game's number among the games of its round and bracket, counted from 1.
  std::array<int, kGameCount> FNumbers{};
  std::vector<int> FTeamSlots;
  // The team on each first-round line; null for none.
  std::array<const TTeamSeedObject*, ChartPaths::kSlotCount + 1> FFirstRound{};
  // Each bracket's name, 1..4, or "Bracket 2" for a bracket without one.
  std::array<QString, ChartPaths::kRegions + 1> FBrackets;
  mutable QStringList FHeader;
  const TFFDataModule& FPool;
};
