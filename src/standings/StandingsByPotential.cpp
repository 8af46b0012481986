#include "StandingsByPotential.h"

QString TStandingsByPotential::Title() const {
  return kTitle;
}

void TStandingsByPotential::Sort() {
  SortByTotal(&TStandingsItem::PotentialPoints);
}

QString TPotentialWithFinal4::Title() const {
  return kTitle;
}
