#pragma once

#include "ReportsBase.h"

// The standings ordered by the highest total each player can still reach.
class TStandingsByPotential : public TReportsBase {
 public:
  static inline const QString kTitle = QStringLiteral("Standings by Potential Points Remaining");

  QString Title() const override;
  void Sort() override;
};

// The same rows in the same order; its report adds each player's last-four, finals and
// champion picks.
class TPotentialWithFinal4 : public TStandingsByPotential {
 public:
  static inline const QString kTitle = QStringLiteral("Potential Points With Final 4 Selections");

  QString Title() const override;
};
