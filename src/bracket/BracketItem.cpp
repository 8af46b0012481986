#include "BracketItem.h"

#include "ChartGeometry.h"

TBracketItem::TBracketItem(int32_t round, int32_t region, int32_t seed, int32_t left, int32_t top,
                           int32_t right, int32_t bottom)
    : FRound(round),
      FRegion(region),
      FSeed(seed),
      FLeft(left),
      FTop(top),
      FRight(right),
      FBottom(bottom) {}

bool TBracketItem::Contains(int x, int y) const {
  return FLeft <= x && x <= FRight && FTop <= y && y <= FBottom;
}

QRect TBracketItem::TextBox() const {
  return ChartGeometry::CoveredBox(FLeft, FTop, FRight - 4, FBottom - 5);
}
