#pragma once

#include <QString>
#include <cstdint>

class TFFDataModule;

// A pool as an organiser would have it a week into the tournament: 64 teams on their lines,
// the first round locked, some rounds played, and players with complete charts. The same
// seed always makes the same pool.
namespace SamplePool {
// Fills an empty pool. `playedRounds` tournament rounds have results (0..6); `actualTotal` is
// the championship game's total as entered (0: not yet).
void Fill(TFFDataModule& pool, int players, int playedRounds, int32_t actualTotal,
          uint32_t seed = 1999);
// The name of player `index` (0-based) as Fill makes it.
QString PlayerName(int index);
}  // namespace SamplePool
