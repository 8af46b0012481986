#pragma once

#include <QList>
#include <QQueue>

#include "Prompts.h"

// Scripted prompts for tests: records every message and answers from a queue. With the queue
// empty a question is answered No (Cancel for OK and Cancel) and a text input or file dialog is
// cancelled, so an unexpected question never blocks; tests check `Shown` to see that it was
// asked.
//
// While they stand in, a warning that a text was given more or fewer values than it has places
// for ("QString::arg: ...") fails the running test: such a text shows the person a "%2" or
// loses what it was meant to say. Every window test puts them in place for each test.
class TFakePrompts : public TPrompts {
 public:
  TFakePrompts();
  struct TShown {
    QString Text;
    QString Title;
    Buttons ButtonSet = Buttons::Ok;
    Icon IconKind = Icon::None;
    // The answer Enter would give.
    Answer Default = Answer::Yes;
    // The window the message was asked for, if the caller named one.
    QWidget* Asker = nullptr;
    // The text a text input opened with, selected as the real input shows it.
    QString Selected;
  };

  Answer Message(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
  // Keeps the longest text asked for; an answer longer than the field takes is cut, as the
  // field itself would.
  bool AskText(const QString& title, const QString& prompt, QString* text,
               int maxLength = 0) override;
  int LastMaxLength() const { return FLastMaxLength; }
  // Shown with the proposed file as its text.
  bool AskFileName(FileDialog dialog, const QString& title, const QString& filter,
                   QString* path) override;

  // Queue the answers of the next questions, in order.
  void QueueAnswer(Answer answer) { FAnswers.enqueue(answer); }
  // Queue the answer of the next text input; a null string cancels it.
  void QueueText(const QString& text) { FTexts.enqueue(text); }
  // Queue the file chosen in the next file dialog; a null string cancels it.
  void QueueFileName(const QString& path) { FFileNames.enqueue(path); }

  const QList<TShown>& Shown() const { return FShown; }
  QStringList Texts() const;
  void Reset();

 private:
  QList<TShown> FShown;
  QQueue<Answer> FAnswers;
  QQueue<QString> FTexts;
  int FLastMaxLength = 0;
  QQueue<QString> FFileNames;
};
