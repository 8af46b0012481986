#include "Shell.h"

#include <QDesktopServices>

namespace {
class TDesktopShell : public TShell {
 public:
  bool OpenUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

TDesktopShell gDesktopShell;
TShell* gCurrent = nullptr;
}  // namespace

TShell& TShell::Current() {
  return gCurrent ? *gCurrent : gDesktopShell;
}

TShell* TShell::Install(TShell* shell) {
  TShell* previous = gCurrent;
  gCurrent = shell;
  return previous;
}
