#include "Prompts.h"

#include <cstdio>

void TPrompts::Refuse(const QString& text) {
  Message(text, kMessageTitle, Buttons::Ok, Icon::Stop);
}

void TPrompts::Inform(const QString& text) {
  Message(text, kApplicationTitle, Buttons::Ok, Icon::None);
}

bool TPrompts::Confirm(const QString& text, Icon icon) {
  return Message(text, kMessageTitle, Buttons::YesNo, icon) == Answer::Yes;
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
      break;
  }
  return Answer::No;
}

bool TConsolePrompts::AskText(const QString&, const QString&, QString*) {
  return false;
}

bool TConsolePrompts::AskFileName(FileDialog, const QString&, const QString&, QString*) {
  return false;
}
