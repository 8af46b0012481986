#pragma once

#include <QList>
#include <QUrl>

#include "Shell.h"

// The desktop for tests: records the addresses it was asked to open and opens none.
class TFakeShell : public TShell {
 public:
  bool OpenUrl(const QUrl& url) override {
    FOpened.append(url);
    return FCanOpen;
  }
  // A desktop without a web browser fails every request.
  void SetCanOpen(bool canOpen) { FCanOpen = canOpen; }
  const QList<QUrl>& Opened() const { return FOpened; }

 private:
  QList<QUrl> FOpened;
  bool FCanOpen = true;
};
