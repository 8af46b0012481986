#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "ChartPaths.h"
#include "ReportItem.h"

// One player's row of the standings: points earned and still within reach, the pick counts
// behind them per chart round, and the player's last-four, finals and champion picks.
class TStandingsItem : public TReportItem {
 public:
  static constexpr int kFirstRound = 2;  // the scoring rounds are chart rounds 2..7
  static constexpr int kLastRound = ChartPaths::kRounds;
  static constexpr int kRoundCount = kLastRound - kFirstRound + 1;
  static constexpr int kFinalFourCount = 4;
  static constexpr int kFinalsCount = 2;

  const QString& PlayerName() const { return FPlayerName; }
  void SetPlayerName(const QString& value) { FPlayerName = value; }
  // The player's place in the player file, which tells apart players of the same name.
  int PlayerIndex() const { return FPlayerIndex; }
  void SetPlayerIndex(int value) { FPlayerIndex = value; }
  int32_t CurrentPoints() const { return FCurrentPoints; }
  void SetCurrentPoints(int32_t value) { FCurrentPoints = value; }
  int32_t PotentialPoints() const { return FPotentialPoints; }
  void SetPotentialPoints(int32_t value) { FPotentialPoints = value; }

  // Counts of picks, not points, for chart round k = 2..7.
  int32_t RoundCorrect(int k) const { return FRoundCorrect.at(RoundIndex(k)); }
  void SetRoundCorrect(int k, int32_t value) { FRoundCorrect.at(RoundIndex(k)) = value; }
  int32_t RoundPossible(int k) const { return FRoundPossible.at(RoundIndex(k)); }
  void SetRoundPossible(int k, int32_t value) { FRoundPossible.at(RoundIndex(k)) = value; }

  int32_t TieBreakerPoints() const { return FTieBreakerPoints; }
  void SetTieBreakerPoints(int32_t value) { FTieBreakerPoints = value; }

  const QString& Champion() const { return FChampion; }
  void SetChampion(const QString& value) { FChampion = value; }
  // i = 1..2 and 1..4; empty where the player picked fewer.
  const QString& Finals(int i) const { return FFinals.at(static_cast<size_t>(i - 1)); }
  void SetFinals(int i, const QString& value) { FFinals.at(static_cast<size_t>(i - 1)) = value; }
  const QString& FinalFour(int i) const { return FFinalFour.at(static_cast<size_t>(i - 1)); }
  void SetFinalFour(int i, const QString& value) {
    FFinalFour.at(static_cast<size_t>(i - 1)) = value;
  }

 private:
  static size_t RoundIndex(int k) { return static_cast<size_t>(k - kFirstRound); }

  QString FPlayerName;
  int FPlayerIndex = 0;
  int32_t FCurrentPoints = 0;
  int32_t FPotentialPoints = 0;
  std::array<int32_t, kRoundCount> FRoundCorrect{};
  std::array<int32_t, kRoundCount> FRoundPossible{};
  int32_t FTieBreakerPoints = 0;
  QString FChampion;
  std::array<QString, kFinalsCount> FFinals;
  std::array<QString, kFinalFourCount> FFinalFour;
};
