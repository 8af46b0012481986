#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "BracketItem.h"
#include "ChartPaths.h"
#include "WinnerPathItem.h"

class TChartEntry;
class TPlayerPicksListObject;
class TTeamsFile;

// A bracket chart: the 127 slots in slot-number order and the 64 winner paths that say which
// slot a team moves to each time it wins. The results chart shows teams, the picks chart one
// player's pick entries; both are chart entries, so one list serves both. It owns its slots
// and paths, never what the slots show.
//
// Slot n (1..127, numbered as ChartPaths numbers them) is Items(n - 1).
class TBracketList {
 public:
  static constexpr int kSlotCount = ChartPaths::kSlotCount;
  static constexpr int kPathCount = ChartPaths::kLines;

  TBracketList();
  ~TBracketList();
  TBracketList(const TBracketList&) = delete;
  TBracketList& operator=(const TBracketList&) = delete;

  int Count() const { return static_cast<int>(FItems.size()); }
  // Slot by 0-based index.
  TBracketItem* Items(int index) const { return FItems.at(static_cast<size_t>(index)).get(); }
  // 0-based index of the slot, -1 when it is not one of this chart's.
  int IndexOf(const TBracketItem* slot) const;
  int SlotNumber(const TBracketItem* slot) const { return IndexOf(slot) + 1; }
  // Slot by number 1..127; nullptr for any other number.
  TBracketItem* Slot(int number) const;

  int PathCount() const { return static_cast<int>(FPaths.size()); }
  const TWinnerPathItem* Paths(int index) const {
    return FPaths.at(static_cast<size_t>(index)).get();
  }

  // The path of the first-round line with this region and seed; nullptr when there is none
  // (a team not placed on the chart has region 0).
  const TWinnerPathItem* FindPathFor(int32_t region, int32_t seed) const;
  const TWinnerPathItem* FindPath(const TChartEntry& entry) const;
  // The slot of chart round `round` (1..7) on the path of (region, seed), or nullptr.
  TBracketItem* SlotOnPath(int32_t region, int32_t seed, int32_t round) const;

  // Puts the entry on the slots of its path for rounds 1 to its RoundReached
  // (ChartPaths::PlaceUpTo).
  void PlaceTeam(TChartEntry* entry);
  // Puts every placed team of the teams file, in file order, on the chart up to the round it
  // reached (the results chart). Slots no team claims keep what they show.
  void PlaceTeams(const TTeamsFile& teams);
  // The same for one player's pick entries (the picks chart).
  void PlaceTeams(TPlayerPicksListObject& player);
  // Takes the slot's entry off this slot and every later one; its earlier rounds stay.
  void ClearTeamFrom(TBracketItem* slot);
  // Empties every slot.
  void ClearAllSlots();

  // The first slot whose rectangle, edges included, holds the point; nullptr when none does.
  TBracketItem* HitSlot(int x, int y) const;
  // As HitSlot, but only slots that may take `team` (nullptr: no team being dragged) count:
  // first-round, finalist and champion slots always; a slot of rounds 2 to 5 only when it is
  // in the team's region, or, with no team, when it is occupied.
  TBracketItem* HitSlotForTeam(int x, int y, const TChartEntry* team) const;

 private:
  std::vector<std::unique_ptr<TBracketItem>> FItems;
  std::vector<std::unique_ptr<TWinnerPathItem>> FPaths;
};
