#include "EditingWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QHideEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QStyle>
#include <QUndoStack>
#include <QWidget>

#include "SplashHelp.h"

QString ShortHint(const QString& hint) {
  return hint.section(QLatin1Char('|'), 0, 0).trimmed();
}

QString LongHint(const QString& hint) {
  const int bar = hint.indexOf(QLatin1Char('|'));
  return (bar < 0 ? hint : hint.mid(bar + 1)).trimmed();
}

void TEditingWindow::Tell(const QString& text, TPrompts::Icon icon, const QString& title) {
  const TOwnModal own(*this);
  TPrompts::Current().MessageFrom(&FWindow, text, title, TPrompts::Buttons::Ok, icon);
}

bool TEditingWindow::Ask(const QString& text) {
  const TOwnModal own(*this);
  return TPrompts::Current().Confirm(text, TPrompts::Icon::Stop, &FWindow);
}

void TEditingWindow::RefuseFieldInput(QWidget& field) {
  QApplication::beep();
  Refuse(kInvalidInput);
  field.setFocus();
}

void TEditingWindow::TellNotAnInteger(const QString& text) {
  Tell(QString(kNotAnInteger).replace(QLatin1String("%s"), text), TPrompts::Icon::Stop,
       kApplicationTitle);
}

int TEditingWindow::ShowModal(QDialog& dialog) {
  const TOwnModal own(*this);
  return FModalRunner ? FModalRunner(dialog) : dialog.exec();
}

bool TEditingWindow::Activates(const QEvent* event) {
  const bool ownModalOpen = FOwnModal > 0;
  if (event->type() == QEvent::WindowDeactivate && ownModalOpen) {
    FSkipActivation = true;
    return false;
  }
  if (event->type() != QEvent::WindowActivate)
    return false;
  if (FSkipActivation) {
    FSkipActivation = false;
    return false;
  }
  return !ownModalOpen;
}

void TEditingWindow::ShowTipsOnce(TdlgSplashHelp& tips) {
  if (FTipsDue && !tips.chkDontShow->isChecked())
    ShowModal(tips);
  FTipsDue = false;
}

void TEditingWindow::NoteHidden(const QHideEvent* event) {
  // Put away, not just minimised: the next opening shows the tips again.
  if (!event->spontaneous())
    FTipsDue = true;
}

QAction* TEditingWindow::MakeAction(const QString& caption, const QString& hint,
                                    const QIcon& icon) {
  auto* action = new QAction(icon, caption, &FWindow);
  action->setToolTip(ShortHint(hint));
  action->setStatusTip(LongHint(hint));
  return action;
}

void TEditingWindow::MakeUndoActions(QUndoStack* stack) {
  FUndoStack = stack;
  // Named after the edit, as QUndoStack's own actions are.
  auto name = [](QAction* action, const QString& caption, const QString& text) {
    action->setText(text.isEmpty() ? caption : caption + QLatin1Char(' ') + text);
  };
  const QString undoCaption = QStringLiteral("&Undo");
  const QString redoCaption = QStringLiteral("&Redo");
  QStyle* style = FWindow.style();
  actEditUndo = new QAction(style->standardIcon(QStyle::SP_ArrowBack), undoCaption, &FWindow);
  actEditRedo = new QAction(style->standardIcon(QStyle::SP_ArrowForward), redoCaption, &FWindow);
  actEditUndo->setShortcut(QKeySequence::Undo);
  // Ctrl+Shift+Z on every platform, beside the platform's own redo keys.
  QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
  const QKeySequence ctrlShiftZ(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
  if (!redoKeys.contains(ctrlShiftZ))
    redoKeys.prepend(ctrlShiftZ);
  actEditRedo->setShortcuts(redoKeys);
  for (QAction* action : {actEditUndo, actEditRedo}) {
    action->setShortcutContext(Qt::WindowShortcut);
    FWindow.addAction(action);
  }
  actEditUndo->setEnabled(stack->canUndo());
  actEditRedo->setEnabled(stack->canRedo());
  QObject::connect(stack, &QUndoStack::canUndoChanged, actEditUndo, &QAction::setEnabled);
  QObject::connect(stack, &QUndoStack::canRedoChanged, actEditRedo, &QAction::setEnabled);
  // The stack outlives the window's part of it when the window goes: these hold on to the
  // actions alone.
  QObject::connect(stack, &QUndoStack::undoTextChanged, actEditUndo,
                   [action = actEditUndo, name, undoCaption](const QString& text) {
                     name(action, undoCaption, text);
                   });
  QObject::connect(stack, &QUndoStack::redoTextChanged, actEditRedo,
                   [action = actEditRedo, name, redoCaption](const QString& text) {
                     name(action, redoCaption, text);
                   });
  QObject::connect(actEditUndo, &QAction::triggered, &FWindow, [this] { UndoOrRedo(true); });
  QObject::connect(actEditRedo, &QAction::triggered, &FWindow, [this] { UndoOrRedo(false); });
}

void TEditingWindow::UndoOrRedo(bool undo) {
  if (undo) {
    FUndoStack->undo();
  } else {
    FUndoStack->redo();
  }
}

bool TEditingWindow::PassUndoKeyOn(QEvent* event, bool boxHoldsStored) {
  if (!boxHoldsStored || event->type() != QEvent::ShortcutOverride)
    return false;
  const auto* key = static_cast<const QKeyEvent*>(event);
  if (!key->matches(QKeySequence::Undo) && !key->matches(QKeySequence::Redo) &&
      key->keyCombination() != QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z)) {
    return false;
  }
  event->ignore();
  return true;
}
