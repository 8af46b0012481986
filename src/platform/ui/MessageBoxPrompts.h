#pragma once

#include <QPointer>

#include "Prompts.h"

class QMessageBox;
class QWidget;

// The program's prompts: QMessageBox for messages and questions, QInputDialog for text,
// QFileDialog for files.
class TMessageBoxPrompts : public TPrompts {
 public:
  Answer Message(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
  bool AskText(const QString& title, const QString& prompt, QString* text,
               int maxLength = 0) override;
  bool AskFileName(FileDialog dialog, const QString& title, const QString& filter,
                   QString* path) override;

  // The window a box falls back to when its asker is unknown or hidden and no other window of
  // the program is in front: the main window.
  void SetMainWindow(QWidget* window) { FMainWindow = window; }

  // The window a box is centred on: the asker's window while it is shown, else the modal
  // dialog or window in front, else `mainWindow`.
  static QWidget* ParentFor(QWidget* asker, QWidget* mainWindow);
  // Gives `box` the buttons, with `defaultAnswer`'s as the default one where the box has it,
  // and the safe answer for Esc and the close box: No, or Cancel where there is one.
  static void SetButtons(QMessageBox& box, Buttons buttons, Answer defaultAnswer);

 private:
  QPointer<QWidget> FMainWindow;
};
