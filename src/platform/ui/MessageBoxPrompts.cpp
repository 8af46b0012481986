#include "MessageBoxPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {
QMessageBox::Icon ToQt(TPrompts::Icon icon) {
  switch (icon) {
    case TPrompts::Icon::Information:
      return QMessageBox::Information;
    case TPrompts::Icon::Warning:
      return QMessageBox::Warning;
    case TPrompts::Icon::Stop:
      return QMessageBox::Critical;
    case TPrompts::Icon::Question:
      return QMessageBox::Question;
    case TPrompts::Icon::None:
      break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

TPrompts::Answer TMessageBoxPrompts::Message(const QString& text, const QString& title,
                                             Buttons buttons, Icon icon) {
  QMessageBox::StandardButtons shown = QMessageBox::Ok;
  if (buttons == Buttons::YesNo)
    shown = QMessageBox::Yes | QMessageBox::No;
  if (buttons == Buttons::OkCancel)
    shown = QMessageBox::Ok | QMessageBox::Cancel;
  QMessageBox box(ToQt(icon), title, text, shown, QApplication::activeWindow());
  if (buttons == Buttons::YesNo)
    box.setDefaultButton(QMessageBox::Yes);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Ok:
      return Answer::Ok;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    default:
      if (buttons == Buttons::YesNo)
        return Answer::No;
      return buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok;
  }
}

bool TMessageBoxPrompts::AskText(const QString& title, const QString& prompt, QString* text) {
  bool ok = false;
  const QString answer = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                               QLineEdit::Normal, *text, &ok);
  if (ok)
    *text = answer;
  return ok;
}

bool TMessageBoxPrompts::AskFileName(FileDialog dialog, const QString& title, const QString& filter,
                                     QString* path) {
  QWidget* parent = QApplication::activeWindow();
  const QString chosen = dialog == FileDialog::Open
                             ? QFileDialog::getOpenFileName(parent, title, *path, filter)
                             : QFileDialog::getSaveFileName(parent, title, *path, filter);
  if (chosen.isEmpty())
    return false;
  *path = chosen;
  return true;
}
