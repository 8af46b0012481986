#pragma once

#include <QEvent>
#include <QFocusEvent>

// Whether `event` is the focus leaving a field for another control of the same window, the
// moment a field's entry is checked and kept. Switching to another window or opening a menu
// leaves the field where it is.
inline bool LeavesField(const QEvent* event) {
  if (event->type() != QEvent::FocusOut)
    return false;
  const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}
