#pragma once

#include <QDateTime>
#include <atomic>

#include "Clock.h"

// A clock that stands still until the test moves it. Installed for its lifetime.
class TFakeClock : public TClock {
 public:
  explicit TFakeClock(const QDateTime& start = QDateTime(QDate(2027, 3, 18), QTime(12, 0)))
      : FStart(start), FScope(this) {}

  QDateTime Now() const override { return FStart.addMSecs(FElapsed.load()); }
  qint64 Ticks() const override { return FElapsed.load(); }

  void Advance(qint64 msecs) { FElapsed += msecs; }
  void AdvanceSeconds(qint64 seconds) { Advance(seconds * 1000); }

 private:
  const QDateTime FStart;
  std::atomic<qint64> FElapsed{0};
  TClockScope FScope;
};
