#pragma once

#include <QRect>
#include <cstdint>

class TChartEntry;

// One slot of a chart: a line a team can stand on, with its place on the chart picture. The
// slot refers to what it shows (a team, or one of a player's pick entries) but never owns it.
class TBracketItem {
 public:
  TBracketItem(int32_t round, int32_t region, int32_t seed, int32_t left, int32_t top,
               int32_t right, int32_t bottom);

  int32_t Round() const { return FRound; }
  int32_t Region() const { return FRegion; }
  int32_t Seed() const { return FSeed; }
  int32_t Left() const { return FLeft; }
  int32_t Top() const { return FTop; }
  int32_t Right() const { return FRight; }
  int32_t Bottom() const { return FBottom; }

  TChartEntry* Team() const { return FTeam; }
  void SetTeam(TChartEntry* team) { FTeam = team; }

  // The hit tests count all four edges of the rectangle as inside.
  bool Contains(int x, int y) const;
  // The pixels the slot's name is written into and clipped to: the box (Left, Top, Right - 4,
  // Bottom - 5), which stops above the rule under the slot.
  QRect TextBox() const;

 private:
  int32_t FRound;
  int32_t FRegion;
  int32_t FSeed;
  int32_t FLeft;
  int32_t FTop;
  int32_t FRight;
  int32_t FBottom;
  TChartEntry* FTeam = nullptr;
};
