#pragma once

#include <QDateTime>

#include "Installable.h"

// The one source of "now": closing times, the rate window of the pick server, the age of what
// a killed program left behind. The program runs on the system's clocks; tests install a clock
// they move, so that nothing waits on real time.
//
// Servers ask it from their own threads: an implementation answers from any thread.
class TClock : public TInstallable<TClock> {
 public:
  virtual ~TClock() = default;
  // The time of day as a person reads and sets it (closing times, dates on pages).
  virtual QDateTime Now() const = 0;
  // Milliseconds on a clock that never goes back, for spans and windows; only differences
  // between two readings mean anything.
  virtual qint64 Ticks() const = 0;

  static TClock& Default();
};

using TClockScope = TClock::TScope;
