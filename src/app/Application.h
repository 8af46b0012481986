#pragma once

#include <QApplication>

// The program's application object. An error that escapes a command is shown to the user
// with its message and the program goes on, rather than ending it.
class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // Starts the program: command line, settings file, prompts, help, the main window, the
  // message loop.
  static int Run(int& argc, char** argv);

  static inline const QString kUnknownError = QStringLiteral("An unexpected error occurred.");

 private:
  // "--check": starts as usual without showing a window, prints the folder of the pool it
  // opened and quits; 0 when the pool opened, 1 when it did not.
  static int CheckStart();
  static void ShowError(const QString& text);
};
