#include "BracketList.h"

#include <algorithm>

#include "ChartEntry.h"
#include "ChartGeometry.h"
#include "PlayerPicksFile.h"
#include "TeamsFile.h"

namespace {

using ChartGeometry::kSlotHeight;
using ChartPaths::kRegions;
using ChartPaths::kRounds;
using ChartPaths::kSeedsPerRegion;

// Columns and rows of the regional rounds 1 to 5. Each side counts its slots of a round from
// the top, the upper region's first; the pitch doubles each round, so a slot's top lies midway
// between the tops of the two slots that feed it.
struct TRegionalRound {
  int32_t LeftSideLeft, LeftSideRight, RightSideLeft, RightSideRight, FirstTop, Pitch;
};
constexpr TRegionalRound kRegionalRounds[] = {
    {21, 91, 707, 780, 3, 18},     {94, 162, 639, 707, 11, 36},    {162, 230, 571, 639, 29, 72},
    {231, 299, 503, 571, 65, 144}, {298, 366, 436, 504, 137, 288},
};
constexpr int kRegionalRoundCount = 5;

}  // namespace

TBracketList::TBracketList() {
  FItems.reserve(kSlotCount + 1);
  for (int round = 1; round <= kRegionalRoundCount; ++round) {
    const TRegionalRound& at = kRegionalRounds[round - 1];
    const int perRegion = kSeedsPerRegion >> (round - 1);
    for (int region = 1; region <= kRegions; ++region) {
      const bool leftSide = region <= 2;
      for (int line = 0; line < perRegion; ++line) {
        const int j = (region - 1) % 2 * perRegion + line;
        const int32_t top = at.FirstTop + at.Pitch * j;
        const int32_t seed = round == 1 ? ChartPaths::kSeedOrder[static_cast<size_t>(line)] : 0;
        FItems.push_back(std::make_unique<TBracketItem>(
            round, region, seed, leftSide ? at.LeftSideLeft : at.RightSideLeft, top,
            leftSide ? at.LeftSideRight : at.RightSideRight, top + kSlotHeight));
      }
    }
  }
  FItems.push_back(std::make_unique<TBracketItem>(6, 1, 0, 299, 284, 364, 284 + kSlotHeight));
  FItems.push_back(std::make_unique<TBracketItem>(6, 2, 0, 438, 284, 505, 284 + kSlotHeight));
  FItems.push_back(std::make_unique<TBracketItem>(7, 1, 0, 367, 259, 435, 259 + kSlotHeight));

  FPaths.reserve(kPathCount);
  for (int32_t line = 1; line <= kPathCount; ++line) {
    std::array<int32_t, kRounds> pathSlots{};
    for (int round = 1; round <= kRounds; ++round)
      pathSlots[static_cast<size_t>(round - 1)] = ChartPaths::PathSlot(line, round);
    FPaths.push_back(std::make_unique<TWinnerPathItem>(
        (line - 1) / kSeedsPerRegion + 1,
        ChartPaths::kSeedOrder[static_cast<size_t>((line - 1) % kSeedsPerRegion)], pathSlots));
  }
}

TBracketList::~TBracketList() = default;

int TBracketList::IndexOf(const TBracketItem* slot) const {
  const auto it = std::find_if(FItems.begin(), FItems.end(),
                               [slot](const auto& item) { return item.get() == slot; });
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TBracketItem* TBracketList::Slot(int number) const {
  return number >= 1 && number <= Count() ? FItems[static_cast<size_t>(number - 1)].get() : nullptr;
}

const TWinnerPathItem* TBracketList::FindPathFor(int32_t region, int32_t seed) const {
  const int32_t line = ChartPaths::FirstRoundLine(region, seed);
  return line == 0 ? nullptr : FPaths[static_cast<size_t>(line - 1)].get();
}

const TWinnerPathItem* TBracketList::FindPath(const TChartEntry& entry) const {
  return FindPathFor(entry.Region(), entry.Seed());
}

TBracketItem* TBracketList::SlotOnPath(int32_t region, int32_t seed, int32_t round) const {
  const TWinnerPathItem* path = FindPathFor(region, seed);
  return path ? Slot(path->Slot(round)) : nullptr;
}

void TBracketList::PlaceTeam(TChartEntry* entry) {
  if (!entry)
    return;
  ChartPaths::PlaceUpTo(entry->Region(), entry->Seed(), entry->RoundReached(),
                        [this, entry](int32_t slot) { Slot(slot)->SetTeam(entry); });
}

void TBracketList::PlaceTeams(const TTeamsFile& teams) {
  for (const auto& team : teams.List())
    PlaceTeam(team.get());
}

void TBracketList::PlaceTeams(TPlayerPicksListObject& player) {
  for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i)
    PlaceTeam(player.Pick(i));
}

void TBracketList::ClearTeamFrom(TBracketItem* slot) {
  const int from = IndexOf(slot);
  if (from < 0)
    return;
  TChartEntry* const team = slot->Team();
  if (!team)
    return;
  for (size_t i = static_cast<size_t>(from); i < FItems.size(); ++i) {
    if (FItems[i]->Team() == team)
      FItems[i]->SetTeam(nullptr);
  }
}

void TBracketList::ClearAllSlots() {
  for (const auto& item : FItems)
    item->SetTeam(nullptr);
}

TBracketItem* TBracketList::HitSlot(int x, int y) const {
  for (const auto& item : FItems) {
    if (item->Contains(x, y))
      return item.get();
  }
  return nullptr;
}

TBracketItem* TBracketList::HitSlotForTeam(int x, int y, const TChartEntry* team) const {
  for (const auto& item : FItems) {
    if (!item->Contains(x, y))
      continue;
    const bool regional = item->Round() >= 2 && item->Round() <= 5;
    if (!regional || (team ? item->Region() == team->Region() : item->Team() != nullptr)) {
      return item.get();
    }
  }
  return nullptr;
}
