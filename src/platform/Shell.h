#pragma once

#include <QList>
#include <QUrl>

// Asks the desktop to open an address (the website command).
class TShell {
 public:
  virtual ~TShell() = default;
  virtual bool OpenUrl(const QUrl& url) = 0;

  static TShell& Current();
  // Installs `shell` (not owned) and returns the previous one; nullptr restores the desktop's.
  static TShell* Install(TShell* shell);
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
