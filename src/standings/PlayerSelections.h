#pragma once

#include <QString>
#include <array>
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
  int SelectionCount(int k) const { return static_cast<int>(Round(k).size()); }
  // Appends a name to round k's list; a list already holding 32 names keeps them and drops
  // this one (returns false).
  bool AddSelection(int k, const QString& name);

 private:
  const std::vector<QString>& Round(int k) const {
    return FSelections.at(static_cast<size_t>(k - kFirstRound));
  }

  QString FPlayerName;
  // Only the names there are: a full chart fills 63 of the 192 places.
  std::array<std::vector<QString>, kLastRound - kFirstRound + 1> FSelections;
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
