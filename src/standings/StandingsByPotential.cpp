#include "StandingsByPotential.h"

QString TStandingsByPotential::Title() const {
  return Scored(kTitle);
}

void TStandingsByPotential::Sort() {
  SortByTotal(&TStandingsItem::PotentialPoints);
}

QString TPotentialWithFinal4::Title() const {
  return Scored(kTitle);
}
