#include "StandingsByPoints.h"

QString TStandingsByPoints::Title() const {
  return Scored(kTitle);
}

void TStandingsByPoints::Sort() {
  SortByTotal(&TStandingsItem::CurrentPoints);
}

QString TStandingsWithFinal4::Title() const {
  return Scored(kTitle);
}
