#include "StandingsByPoints.h"

QString TStandingsByPoints::Title() const {
  return kTitle;
}

void TStandingsByPoints::Sort() {
  SortByTotal(&TStandingsItem::CurrentPoints);
}

QString TStandingsWithFinal4::Title() const {
  return kTitle;
}
