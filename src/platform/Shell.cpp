#include "Shell.h"

#include <QDesktopServices>

namespace {
class TDesktopShell : public TShell {
 public:
  bool OpenUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};
}  // namespace

TShell& TShell::Default() {
  static TDesktopShell desktop;
  return desktop;
}
