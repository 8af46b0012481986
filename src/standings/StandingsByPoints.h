#pragma once

#include "ReportsBase.h"

// The standings ordered by points earned so far.
class TStandingsByPoints : public TReportsBase {
 public:
  static inline const QString kTitle = QStringLiteral("Standings by Current Points");

  QString Title() const override;
  void Sort() override;
};

// The same rows in the same order; its report adds each player's last-four, finals and
// champion picks.
class TStandingsWithFinal4 : public TStandingsByPoints {
 public:
  static inline const QString kTitle = QStringLiteral("Point Standings With Final 4 Selections");

  QString Title() const override;
};
