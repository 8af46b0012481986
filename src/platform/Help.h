#pragma once

#include <QString>

#include "Installable.h"

// The help file and its context numbers. The program installs a help window over the pages
// shipped beside it; tests install a fake that only records which topics were asked for.
class THelp : public TInstallable<THelp> {
 public:
  static inline const QString kHelpFile = QStringLiteral("Courtsider.hlp");

  virtual ~THelp() = default;
  // Opens the help at the topic of `context`, or at its contents for an unknown number.
  virtual void ShowContext(int context) = 0;

  // Until something is installed, every request is ignored.
  static THelp& Default();
};
