#pragma once

#include "Prompts.h"

class QWidget;

// The program's prompts: QMessageBox for messages and questions, QInputDialog for text,
// QFileDialog for files.
class TMessageBoxPrompts : public TPrompts {
 public:
  Answer Message(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
  bool AskText(const QString& title, const QString& prompt, QString* text) override;
  bool AskFileName(FileDialog dialog, const QString& title, const QString& filter,
                   QString* path) override;
};
