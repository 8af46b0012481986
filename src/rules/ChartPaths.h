#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

// The bracket chart's lines and games, without pixels: how a region and seed name a first-round
// line, which two lines meet in each game and where its winner goes, and placing an entry on
// its path up to the round it reached. The charts, the picks sheet, the outlook, the standings
// and the pictures all ask these; a header only, that needs nothing of the program.
//
// Slot n (1..127): slots 1-64 are the first-round lines (region 1 lines 1-16 top to bottom,
// then regions 2, 3 and 4), 65-96 chart round 2, 97-112 round 3, 113-120 round 4, 121-124 the
// four regional winners, 125 and 126 the finalists of the left and right sides, 127 the
// champion. Slots 2k-1 and 2k of a round's block meet in a game whose winner moves to slot k
// of the next round's block.
namespace ChartPaths {

// What the chart has room for; a stored entry holds no more (TChartEntry).
constexpr int kRounds = 7;
constexpr int kRegions = 4;
constexpr int kSeedsPerRegion = 16;
constexpr int kLines = kRegions * kSeedsPerRegion;
constexpr int kSlotCount = 2 * kLines - 1;
constexpr int kGameCount = kLines - 1;
constexpr int32_t kFirstGameSlot = kLines + 1;
constexpr int32_t kChampionSlot = kSlotCount;

// The seeds of first-round lines 1 to 16 of a region, top to bottom.
constexpr std::array<int32_t, kSeedsPerRegion> kSeedOrder = {1, 16, 8, 9,  5, 12, 4, 13,
                                                             6, 11, 3, 14, 7, 10, 2, 15};

// Slot number before the first slot of each chart round 1..7.
constexpr std::array<int32_t, kRounds> kRoundBase = {0, 64, 96, 112, 120, 124, 126};

// The slots of chart round 1..7.
constexpr int32_t RoundSlots(int round) {
  return (round < kRounds ? kRoundBase[static_cast<size_t>(round)] : kChampionSlot) -
         kRoundBase[static_cast<size_t>(round - 1)];
}

// The chart round of slot 1..127.
constexpr int32_t SlotRound(int32_t slot) {
  int32_t round = 1;
  while (round < kRounds && slot > kRoundBase[static_cast<size_t>(round)])
    ++round;
  return round;
}

// Where the winner of a slot's game goes. Slot 1..126.
constexpr int32_t NextSlot(int32_t slot) {
  const int32_t round = SlotRound(slot);
  return kRoundBase[static_cast<size_t>(round)] +
         (slot - kRoundBase[static_cast<size_t>(round - 1)] + 1) / 2;
}

// The upper of the two slots whose game decides slot 65..127; the lower one follows it.
constexpr int32_t FirstFeeder(int32_t slot) {
  const int32_t round = SlotRound(slot);
  return kRoundBase[static_cast<size_t>(round - 2)] +
         2 * (slot - kRoundBase[static_cast<size_t>(round - 1)]) - 1;
}

// The slot that meets slot 1..126 in its game.
constexpr int32_t Opponent(int32_t slot) {
  const int32_t upper = FirstFeeder(NextSlot(slot));
  return slot == upper ? upper + 1 : upper;
}

namespace Detail {
constexpr std::array<std::array<int32_t, kSeedsPerRegion + 1>, kRegions + 1> LineTable() {
  std::array<std::array<int32_t, kSeedsPerRegion + 1>, kRegions + 1> lines{};
  for (int region = 1; region <= kRegions; ++region) {
    for (int line = 0; line < kSeedsPerRegion; ++line) {
      lines[static_cast<size_t>(region)]
           [static_cast<size_t>(kSeedOrder[static_cast<size_t>(line)])] =
               (region - 1) * kSeedsPerRegion + line + 1;
    }
  }
  return lines;
}
constexpr std::array<std::array<int32_t, kRounds>, kLines + 1> PathTable() {
  std::array<std::array<int32_t, kRounds>, kLines + 1> paths{};
  for (int line = 1; line <= kLines; ++line) {
    int32_t slot = line;
    for (int round = 1; round <= kRounds; ++round) {
      paths[static_cast<size_t>(line)][static_cast<size_t>(round - 1)] = slot;
      slot = round < kRounds ? NextSlot(slot) : 0;
    }
  }
  return paths;
}
// Scoring asks these for every pick of every player: tables, worked out while compiling.
constexpr auto kLineOf = LineTable();
constexpr auto kPathOf = PathTable();
}  // namespace Detail

// The first-round line (1..64) of a region and seed; 0 when they name none, as an entry that
// is not on the chart does (region 0).
constexpr int32_t FirstRoundLine(int32_t region, int32_t seed) {
  if (region < 1 || region > kRegions || seed < 1 || seed > kSeedsPerRegion)
    return 0;
  return Detail::kLineOf[static_cast<size_t>(region)][static_cast<size_t>(seed)];
}

// The slot a first-round line's team stands on in chart round 1..7; 0 for any other round.
constexpr int32_t PathSlot(int32_t line, int round) {
  if (line < 1 || line > kLines || round < 1 || round > kRounds)
    return 0;
  return Detail::kPathOf[static_cast<size_t>(line)][static_cast<size_t>(round - 1)];
}

// One game: the slot its winner goes to, that slot's chart round (2..7), its region (1..4; 0
// for the semifinals and the final) and the two slots whose teams play it, the upper first.
struct TGame {
  int32_t Slot = 0;
  int32_t Round = 0;
  int32_t Region = 0;
  std::array<int32_t, 2> Feeders{};
};

// The game that fills slot 65..127.
constexpr TGame Game(int32_t slot) {
  TGame game;
  game.Slot = slot;
  game.Round = SlotRound(slot);
  if (game.Round <= 5) {
    const int32_t perRegion = kSeedsPerRegion >> (game.Round - 1);
    game.Region = (slot - kRoundBase[static_cast<size_t>(game.Round - 1)] - 1) / perRegion + 1;
  }
  game.Feeders = {FirstFeeder(slot), FirstFeeder(slot) + 1};
  return game;
}

// The last chart round a pick advances its team to. Stored values are not trusted: anything
// beyond the champion's line counts as the champion's line, so no round list is overrun.
constexpr int LastPickedRound(int32_t roundReached) {
  return roundReached > kRounds ? kRounds : roundReached;
}

// Puts an entry of (region, seed) on its path for chart rounds 1 to `roundReached`:
// put(slot) for each of those slots in round order. A round reached beyond the champion's
// counts as the champion's, and an entry whose region and seed name no line is put nowhere,
// so values read from a file can never reach past the chart.
template <typename TPut>
void PlaceUpTo(int32_t region, int32_t seed, int32_t roundReached, TPut&& put) {
  const int32_t line = FirstRoundLine(region, seed);
  if (line == 0)
    return;
  const int32_t last = std::min<int32_t>(roundReached, kRounds);
  for (int round = 1; round <= last; ++round)
    put(PathSlot(line, round));
}

}  // namespace ChartPaths
