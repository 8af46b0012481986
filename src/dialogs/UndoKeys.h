#pragma once

#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>

// Whether `event` asks a focused text box for an undo or redo key (Ctrl+Z, Ctrl+Shift+Z, the
// platform's redo). A box claims those keys for its own text undo whenever it has the focus,
// so the window's Undo and Redo would never hear them; a window that lets its box keep them
// only while the box holds text not yet stored passes the event on otherwise (ignored and
// filtered out), and its own undo takes the key.
inline bool AsksForUndoKey(const QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride)
    return false;
  const auto* key = static_cast<const QKeyEvent*>(event);
  return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
         key->keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z);
}
