#pragma once

#include <QRect>
#include <algorithm>
#include <array>
#include <cstdint>

// Where things stand on the 800 x 600 chart. Slot rectangles belong to the slots themselves
// (TBracketItem); this holds what the slots, the picture and the drawing share.
namespace ChartGeometry {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kRounds = 7;
constexpr int kRegions = 4;
constexpr int kSeedsPerRegion = 16;
// Every slot is this high: Bottom = Top + kSlotHeight.
constexpr int kSlotHeight = 18;

// The seeds of first-round lines 1 to 16 of a region, top to bottom.
constexpr std::array<int32_t, kSeedsPerRegion> kSeedOrder = {1, 16, 8, 9,  5, 12, 4, 13,
                                                             6, 11, 3, 14, 7, 10, 2, 15};

// Slot number before the first slot of each chart round 1..7.
constexpr std::array<int32_t, kRounds> kRoundBase = {0, 64, 96, 112, 120, 124, 126};
constexpr int32_t kChampionSlot = 127;

// The chart round of slot 1..127.
constexpr int32_t SlotRound(int32_t slot) {
  int32_t round = 1;
  while (round < kRounds && slot > kRoundBase[static_cast<size_t>(round)])
    ++round;
  return round;
}

// Where the winner of a slot's game goes: slots 2k-1 and 2k of a round's block meet in a game
// whose winner moves to slot k of the next round's block. Slot 1..126.
constexpr int32_t NextSlot(int32_t slot) {
  const int32_t round = SlotRound(slot);
  return kRoundBase[static_cast<size_t>(round)] +
         (slot - kRoundBase[static_cast<size_t>(round - 1)] + 1) / 2;
}

// The two slots whose game decides slot 65..127, the upper one first.
constexpr int32_t FirstFeeder(int32_t slot) {
  const int32_t round = SlotRound(slot);
  return kRoundBase[static_cast<size_t>(round - 2)] +
         2 * (slot - kRoundBase[static_cast<size_t>(round - 1)]) - 1;
}

// The pixels a box given by its corner coordinates covers when text is written into it: the
// right and bottom coordinates lie just outside, as on the platform the chart was drawn for.
constexpr QRect CoveredBox(int left, int top, int right, int bottom) {
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Seeds stand outside the chart beside the first-round lines: right-aligned up to this column
// on the left, from this column on the right. On the left the names start eight blank pixels
// after the seeds; on the right they end as far before them.
constexpr int kLeftSeedsRight = 12;
constexpr int kRightSeedsLeft = 783;
constexpr int kSeedGap = 8;

// Where a name written into `box` may go: the box, short of the seeds on the right.
inline QRect NameRoom(const QRect& box) {
  QRect room = box;
  room.setRight(std::min(box.right(), kRightSeedsLeft - kSeedGap - 1));
  return room;
}

// Title boxes, written in bold.
constexpr QRect kPoolNameBox = CoveredBox(320, 5, 460, 25);
// The bracket builder has room for a longer pool name.
constexpr QRect kBuilderPoolNameBox = CoveredBox(290, 5, 490, 25);
// Bracket names 1 to 4 (upper left, lower left, upper right, lower right), index 0 to 3.
constexpr std::array<QRect, kRegions> kBracketNameBoxes = {
    CoveredBox(190, 140, 280, 160), CoveredBox(190, 430, 280, 450), CoveredBox(520, 140, 610, 160),
    CoveredBox(520, 430, 610, 450)};

}  // namespace ChartGeometry
