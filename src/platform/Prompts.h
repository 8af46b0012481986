#pragma once

#include <QString>
#include <QStringList>

#include "Installable.h"

class QWidget;

// Every message box, question and text input of the program goes through TPrompts, so that
// windows and files can be driven by tests without a modal loop. The program installs
// TMessageBoxPrompts; tests install TFakePrompts; the command-line tool installs one that
// writes to stderr and never asks.
//
// A message belongs to the window that asks it: pass that window as `asker` and the box is
// centred on it. Without one the box goes to the window in front, or to the main window.
class TPrompts : public TInstallable<TPrompts> {
 public:
  enum class Icon { None, Information, Warning, Stop, Question };
  // Esc and the close box answer No to YesNo and Cancel where there is a Cancel.
  enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
  enum class Answer { Ok, Yes, No, Cancel };
  enum class FileDialog { Open, Save };

  virtual ~TPrompts() = default;

  // The one primitive every message goes through; `Asker()` tells whose it is and
  // `DefaultAnswer()` which button Enter presses.
  virtual Answer Message(const QString& text, const QString& title, Buttons buttons, Icon icon) = 0;
  // The same message on behalf of `asker` (may be null), with Enter giving `defaultAnswer`: a
  // question whose Yes loses data makes it No.
  Answer MessageFrom(QWidget* asker, const QString& text, const QString& title, Buttons buttons,
                     Icon icon, Answer defaultAnswer = Answer::Yes);
  // A one-line text input; returns false when the user cancels. `text` holds the default in,
  // shown selected so that typing replaces it and an arrow key keeps it to mend, and the
  // answer out. A `maxLength` above 0 keeps the field from taking more characters.
  virtual bool AskText(const QString& title, const QString& prompt, QString* text,
                       int maxLength = 0) = 0;
  // A file chosen in the platform's file dialog, to read (Open) or to write (Save, which asks
  // before replacing a file); returns false when the user cancels. `filter` lists the kinds
  // of file ("CSV files (*.csv)"); `path` holds the proposed file in and the chosen one out.
  virtual bool AskFileName(FileDialog dialog, const QString& title, const QString& filter,
                           QString* path) = 0;

  // A refusal: OK button, stop icon, titled "Courtsider 99".
  void Refuse(const QString& text, QWidget* asker = nullptr);
  // A plain notice titled with the application title, as file errors and open failures are.
  void Inform(const QString& text, QWidget* asker = nullptr);
  // A Yes/No question titled "Courtsider 99"; true for Yes.
  bool Confirm(const QString& text, Icon icon = Icon::None, QWidget* asker = nullptr,
               Answer defaultAnswer = Answer::Yes);

  // The window the message being shown was asked for; null when the caller named none.
  QWidget* Asker() const { return FAsker; }
  // The answer of the button Enter presses in the message being shown (Yes unless the caller
  // said otherwise; a box without that button picks its own).
  Answer DefaultAnswer() const { return FDefaultAnswer; }

  // Until something is installed, messages go to stderr and questions are answered No.
  static TPrompts& Default();

 private:
  QWidget* FAsker = nullptr;
  Answer FDefaultAnswer = Answer::Yes;
};

// Titles used by the program's message boxes.
inline const QString kMessageTitle = QStringLiteral("Courtsider 99");
inline const QString kApplicationTitle =
    QStringLiteral("Courtsider 99 College Basketball Office Pool Tracker");

// Writes each message to stderr and answers every question No; used by the command-line tool
// and as the default before the program installs its own.
class TConsolePrompts : public TPrompts {
 public:
  Answer Message(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
  bool AskText(const QString& title, const QString& prompt, QString* text,
               int maxLength = 0) override;
  bool AskFileName(FileDialog dialog, const QString& title, const QString& filter,
                   QString* path) override;
};

using TPromptsScope = TPrompts::TScope;
