#pragma once

#include <QUrl>

#include "Installable.h"

// Asks the desktop to open an address (the website command).
class TShell : public TInstallable<TShell> {
 public:
  virtual ~TShell() = default;
  virtual bool OpenUrl(const QUrl& url) = 0;

  // Until something is installed, the desktop's.
  static TShell& Default();
};
