#pragma once

#include <QRect>
#include <algorithm>
#include <array>
#include <cstdint>

#include "ChartPaths.h"

// Where things stand on the 800 x 600 chart. Slot rectangles belong to the slots themselves
// (TBracketItem); this holds what the slots, the picture and the drawing share. The lines
// and games themselves are ChartPaths'.
namespace ChartGeometry {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
// Every slot is this high: Bottom = Top + kSlotHeight.
constexpr int kSlotHeight = 18;

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
constexpr std::array<QRect, ChartPaths::kRegions> kBracketNameBoxes = {
    CoveredBox(190, 140, 280, 160), CoveredBox(190, 430, 280, 450), CoveredBox(520, 140, 610, 160),
    CoveredBox(520, 430, 610, 450)};

}  // namespace ChartGeometry
