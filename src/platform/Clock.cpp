#include "Clock.h"

#include <chrono>

namespace {
class TSystemClock : public TClock {
 public:
  QDateTime Now() const override { return QDateTime::currentDateTime(); }
  qint64 Ticks() const override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};
}  // namespace

TClock& TClock::Default() {
  static TSystemClock system;
  return system;
}
