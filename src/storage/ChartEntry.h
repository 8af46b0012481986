#pragma once

#include <QString>
#include <cstdint>

#include "TeamNames.h"

// What a line of a bracket chart shows: a team on the results chart, or one of a player's
// pick entries on the picks chart. Both carry these four values, so one slot type serves both
// charts by referring to this base.
class TChartEntry {
 public:
  // What a stored entry can hold: a region 1..4 and a seed 1..16 (0 for none), and the
  // chart round it has reached, 0 (not on the chart) to 7 (champion).
  static constexpr int32_t kMaxRegion = 4;
  static constexpr int32_t kMaxSeed = 16;
  static constexpr int32_t kMaxRound = 7;

  const QString& TeamName() const { return *FTeamName; }
  int32_t Region() const { return FRegion; }
  int32_t Seed() const { return FSeed; }
  int32_t RoundReached() const { return FRoundReached; }

  void SetTeamName(const QString& value) { FTeamName = TTeamNames::Intern(value); }
  // Takes over the name of another entry without looking it up again.
  void ShareTeamName(const TChartEntry& other) { FTeamName = other.FTeamName; }
  void SetRegion(int32_t value) { FRegion = value; }
  void SetSeed(int32_t value) { FSeed = value; }
  void SetRoundReached(int32_t value) { FRoundReached = value; }

 protected:
  TChartEntry() = default;
  ~TChartEntry() = default;

 private:
  const QString* FTeamName = TTeamNames::Empty();
  int32_t FRegion = 0;
  int32_t FSeed = 0;
  int32_t FRoundReached = 0;
};
