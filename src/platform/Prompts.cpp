#include "Prompts.h"

#include <cstdio>

TPrompts::Answer TPrompts::MessageFrom(QWidget* asker, const QString& text, const QString& title,
                                       Buttons buttons, Icon icon, Answer defaultAnswer) {
  // Kept and put back, as a box may be asked for while another one is open.
  QWidget* const previous = FAsker;
  const Answer previousDefault = FDefaultAnswer;
  FAsker = asker;
  FDefaultAnswer = defaultAnswer;
  const Answer answer = Message(text, title, buttons, icon);
  FAsker = previous;
  FDefaultAnswer = previousDefault;
  return answer;
}

void TPrompts::Refuse(const QString& text, QWidget* asker) {
  MessageFrom(asker, text, kMessageTitle, Buttons::Ok, Icon::Stop);
}

void TPrompts::Inform(const QString& text, QWidget* asker) {
  MessageFrom(asker, text, kApplicationTitle, Buttons::Ok, Icon::None);
}

bool TPrompts::Confirm(const QString& text, Icon icon, QWidget* asker, Answer defaultAnswer) {
  return MessageFrom(asker, text, kMessageTitle, Buttons::YesNo, icon, defaultAnswer) ==
         Answer::Yes;
}

TPrompts& TPrompts::Default() {
  static TConsolePrompts console;
  return console;
}

TPrompts::Answer TConsolePrompts::Message(const QString& text, const QString&, Buttons buttons,
                                          Icon) {
  std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  switch (buttons) {
    case Buttons::Ok:
      return Answer::Ok;
    case Buttons::OkCancel:
      return Answer::Cancel;
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
      break;
  }
  return Answer::No;
}

bool TConsolePrompts::AskText(const QString&, const QString&, QString*, int) {
  return false;
}

bool TConsolePrompts::AskFileName(FileDialog, const QString&, const QString&, QString*) {
  return false;
}
