#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

#include "PoolSave.h"

// Failures of the real kind, for the tests of saving: a child process whose files may grow
// no larger than a limit, as on a full disk, and saves interrupted between their steps.
namespace LimitedChild {

struct TResult {
  int Status = -1;     // the body's result, or -1 when the child did not end normally
  QByteArray Written;  // what the body gave to `report`
};

// Runs `body` in a forked child with RLIMIT_FSIZE set to `fileSizeLimit` bytes (negative: no
// limit) and SIGXFSZ ignored, so an oversized write fails with the system's own error.
// `body` returns the child's status and may pass text back through `report`. `unprivileged`:
// a child of root first becomes the user "nobody", so that file permissions bind it as they
// bind everyone else.
TResult Run(qint64 fileSizeLimit, const std::function<int(QByteArray& report)>& body,
            bool unprivileged = false);

}  // namespace LimitedChild

// Interrupts the pool saves made while it lives: at the step numbered `at` (0 = the first)
// it throws EInOutError, or with `kill` set ends the process on the spot. Steps() lists the
// steps the saves went through, in order.
class TSaveInterruption {
 public:
  TSaveInterruption(int at, bool kill = false);
  ~TSaveInterruption();
  TSaveInterruption(const TSaveInterruption&) = delete;
  TSaveInterruption& operator=(const TSaveInterruption&) = delete;

  const QStringList& Steps() const { return FSteps; }
  bool Fired() const { return FFired; }

 private:
  QStringList FSteps;
  bool FFired = false;
};
