#pragma once

// What every part of the outlook's search shares: its sizes and limits, the lanes totals are
// kept in, and the end game's lane types.

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

#include "ChartPaths.h"
#include "Outlook.h"

namespace OutlookSearch {

using TGame = TOutlookInput::TGame;

constexpr int kRowsPerTeam = TOutlookInput::kRounds;  // one per chart round, 0..7
constexpr int kPicks = TOutlookInput::kPicks;
constexpr int kLastRound = ChartPaths::kRounds;
constexpr int kChampionSlot = ChartPaths::kChampionSlot;
constexpr int kSlots = TOutlookInput::kSlots;
// Enough tasks that every thread stays busy to the end and progress moves smoothly, each
// still large enough that setting it up is little beside its outcomes.
constexpr int kTaskGames = 14;
constexpr int kGamesPerTask = 12;
constexpr int64_t kSampleBlock = 1024;
// A very large pool draws fewer outcomes (TOutlookOptions::SampleWork), but never fewer.
constexpr int64_t kFewestSamples = 1000;
// What the workers of a run may take in memory between them, beyond what they share.
constexpr double kWorkerMemory = 1e9;
// Up to this many contenders the walk carries them all (TWinnerSearch::FWhole).
constexpr int kWholeContenders = 512;
// The last games played by table: their outcomes are the lanes of the end-game vectors.
constexpr int kEndGames = 9;
constexpr int kEndLanes = 1 << kEndGames;

inline int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// A total as the standings rank it: wide lanes hold the exact sum, which the standings stop
// at the int32 range.
template <typename TLane>
inline TLane Level(TLane value) {
  if constexpr (sizeof(TLane) > sizeof(int32_t)) {
    return std::clamp<TLane>(value, std::numeric_limits<int32_t>::min(),
                             std::numeric_limits<int32_t>::max());
  } else {
    return value;
  }
}

template <typename TLane>
inline void AddRow(TLane* __restrict out, const TLane* __restrict from, const TLane* __restrict row,
                   int count) {
  for (int i = 0; i < count; ++i)
    out[i] = static_cast<TLane>(from[i] + row[i]);
}

template <typename TLane>
inline void AddRows(TLane* __restrict out, const TLane* __restrict from,
                    const TLane* __restrict row, const TLane* __restrict other, int count) {
  for (int i = 0; i < count; ++i)
    out[i] = static_cast<TLane>(from[i] + row[i] + other[i]);
}

// Prizes in the end game: shares are summed in 15-bit digits, as many as the pot takes, up to
// this many, enough for any amount in 64 bits.
constexpr int kEndDigits = 5;
constexpr int kDigitBits = 15;
constexpr int64_t kDigitMask = (int64_t{1} << kDigitBits) - 1;
// Those shares are looked up for up to one less than this many players level.
constexpr int kTableLevels = 32;

// One 16-bit value per outcome of the end game.
struct alignas(64) TEndLanes {
  int16_t Lane[kEndLanes];
};

// One bit per lane.
using TEndBits = std::array<uint64_t, kEndLanes / 64>;

}  // namespace OutlookSearch
