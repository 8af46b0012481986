#include "Application.h"

#include <exception>

#include "HelpWindow.h"
#include "MainForm.h"
#include "MessageBoxPrompts.h"
#include "Prompts.h"
#include "Registry.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(kApplicationTitle);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    TPrompts::Current().Message(QString::fromStdString(error.what()), kApplicationTitle,
                                TPrompts::Buttons::Ok, TPrompts::Icon::Stop);
  }
  return false;
}

int TApplication::Run(int& argc, char** argv) {
  TApplication application(argc, argv);
  QStringList arguments = QApplication::arguments();
  TRegistry::UseArguments(arguments);

  TMessageBoxPrompts prompts;
  TPromptsScope promptsScope(&prompts);
  THelpWindow help;
  THelp::Install(&help);

  TMainForm mainForm;
  mainForm.show();
  const int result = application.exec();
  THelp::Install(nullptr);
  return result;
}
