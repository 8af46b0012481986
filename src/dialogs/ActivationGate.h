#pragma once

#include <QEvent>

// Whether a window's activation steps run when it becomes the active window. They run when
// the user comes back from another window of the program, not when one of the window's own
// message boxes or dialogs closes (which would wipe what the user was typing), and never while
// one of them is still open.
class TActivationGate {
 public:
  // Called from the window's event(), with whether one of its own modal boxes is open; true
  // when `event` is an activation on which the window should run its activation steps.
  bool Activates(const QEvent* event, bool ownModalOpen) {
    if (event->type() == QEvent::WindowDeactivate && ownModalOpen) {
      FSkip = true;
      return false;
    }
    if (event->type() != QEvent::WindowActivate)
      return false;
    if (FSkip) {
      FSkip = false;
      return false;
    }
    return !ownModalOpen;
  }

 private:
  bool FSkip = false;
};
