#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "ReportsBase.h"

// One player's row of the selections list: for each chart round k = 2..7, the teams the
// player advances to round k or further, in pick-entry order.
class TPlayerSelectionObject : public TReportItem {
 public:
  static constexpr int kFirstRound = TStandingsItem::kFirstRound;
  static constexpr int kLastRound = TStandingsItem::kLastRound;
  static constexpr int kMaxSelections = 32;

  const QString& PlayerName() const { return FPlayerName; }
  void SetPlayerName(const QString& value) { FPlayerName = value; }

  // Element i (1..32) of round k's list; empty past the last name.
  const QString& Selections(int k, int i) const;
  // How many names round k's list holds.
  int SelectionCount(int k) const { return End(k) - Start(k); }
  // Appends a name to round k's list; a list already holding 32 names keeps them and drops
  // this one (returns false).
  bool AddSelection(int k, const QString& name);

 private:
  static constexpr int kRounds = kLastRound - kFirstRound + 1;
  int Start(int k) const { return k == kFirstRound ? 0 : End(k - 1); }
  int End(int k) const { return FEnd.at(static_cast<size_t>(k - kFirstRound)); }

  QString FPlayerName;
  // Only the names there are, round after round (a full chart fills 63 of the 192 places),
  // each the copy TTeamNames keeps: a million players' picks take a few hundred megabytes.
  // Round k's names end at FEnd[k - kFirstRound].
  std::vector<const QString*> FNames;
  std::array<uint8_t, kRounds> FEnd{};
};

// Every player's picks round by round, unscored, in player-file order.
class TPlayerSelections : public TReportsBase {
 public:
  static inline const QString kTitle = QStringLiteral("Player Selections");

  QString Title() const override;
  void Build(const TFFDataModule& pool) override;
  // The rows stay in the order the players were added.
  void Sort() override {}

  int Count() const { return static_cast<int>(FItems.size()); }
  const TPlayerSelectionObject& Item(int index) const;
};
