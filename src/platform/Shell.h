#pragma once

#include <QList>
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

class TFakeShell : public TShell {
 public:
  bool OpenUrl(const QUrl& url) override {
    FOpened.append(url);
    return true;
  }
  const QList<QUrl>& Opened() const { return FOpened; }

 private:
  QList<QUrl> FOpened;
};
