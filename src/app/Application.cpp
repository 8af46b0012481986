#include "Application.h"

#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <cstdio>
#include <exception>

#include "FFDataModule.h"
#include "Glyphs.h"
#include "HelpWindow.h"
#include "IniOut.h"
#include "MainForm.h"
#include "MessageBoxPrompts.h"
#include "Prompts.h"
#include "Registry.h"
#include "ReportDialogs.h"
#include "SingleInstance.h"
#include "Version.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setWindowIcon(Glyphs::CreateAppIcon());
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowError(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    ShowError(kUnknownError);
  }
  return false;
}

int TApplication::CheckStart() {
  // No window, so every message goes to stderr and every question is answered No.
  TMainForm mainForm;
  const TFFDataModule* pool = mainForm.FFDataModule();
  const bool opened = pool && !pool->Directory().isEmpty();
  if (opened)
    std::printf("%s\n", QDir::toNativeSeparators(pool->Directory()).toLocal8Bit().constData());
  mainForm.close();
  return opened ? 0 : 1;
}

namespace {
// The program's names and version. The names are those of the settings key,
// "Tarnwell\Courtsider": the user's pools folder of an installed program is named after them.
void SetNames() {
  QCoreApplication::setOrganizationName(QStringLiteral("Tarnwell"));
  QCoreApplication::setApplicationName(QStringLiteral("Courtsider"));
  QCoreApplication::setApplicationVersion(kProgramVersion);
  QGuiApplication::setDesktopFileName(QStringLiteral("courtsider"));
}

// The window the user works in, in front and active: a dialog it shows modally above it.
void BringToFront(QWidget& mainForm) {
  mainForm.setWindowState((mainForm.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  mainForm.show();
  QWidget* front = QApplication::activeModalWidget();
  if (!front)
    front = &mainForm;
  front->raise();
  front->activateWindow();
}

struct TOptions {
  QCommandLineOption Settings;
  QCommandLineOption Check;
};

TOptions AddOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(kApplicationTitle);
  parser.addHelpOption();
  parser.addVersionOption();
  TOptions options{
      QCommandLineOption(QStringLiteral("settings"),
                         QStringLiteral("Keep the settings in FILE rather than in the user's "
                                        "settings file (also COURTSIDER_SETTINGS=FILE)."),
                         QStringLiteral("FILE")),
      QCommandLineOption(
          QStringLiteral("check"),
          QStringLiteral("Start as usual without showing a window: set up the pools folder, "
                         "open the last pool, print its folder and quit. Exits with 1 when "
                         "the pool could not be opened."))};
  parser.addOptions({options.Settings, options.Check});
  return options;
}

// "--help" and "--version" are answered before the window system is reached, so that they
// work without a display too. Anything else waits for the application: it knows the window
// system's own options ("-platform", ...). "--check" shows no window, so it needs no display
// either: unless told otherwise with "-platform", it runs on the offscreen platform.
void AnswerHelpOrVersion(int& argc, char** argv) {
  QCoreApplication console(argc, argv);
  QCommandLineParser parser;
  AddOptions(parser);
  parser.parse(console.arguments());
  if (parser.isSet(QStringLiteral("help")))
    parser.showHelp();
  if (parser.isSet(QStringLiteral("version")))
    parser.showVersion();
  const QStringList arguments = console.arguments();
  const bool platformGiven = arguments.contains(QStringLiteral("-platform")) ||
                             arguments.contains(QStringLiteral("--platform"));
  if (parser.isSet(QStringLiteral("check")) && !platformGiven)
    qputenv("QT_QPA_PLATFORM", "offscreen");
}
}  // namespace

void TApplication::ShowError(const QString& text) {
  TPrompts::Current().Message(text, kApplicationTitle, TPrompts::Buttons::Ok, TPrompts::Icon::Stop);
}

int TApplication::Run(int& argc, char** argv) {
  SetNames();
  AnswerHelpOrVersion(argc, argv);
  TApplication application(argc, argv);
  QCommandLineParser parser;
  const TOptions options = AddOptions(parser);
  parser.process(application);
  if (parser.isSet(options.Settings))
    TRegistry::SetStoreFile(parser.value(options.Settings));
  if (parser.isSet(options.Check))
    return CheckStart();

  TMessageBoxPrompts prompts;
  TPromptsScope promptsScope(&prompts);
  THelpWindow help;
  THelp::Install(&help);
  TReportDialogs reportDialogs;
  TReportUiScope reportDialogsScope(&reportDialogs);
  reportDialogs.SetPreviewState([](QWidget& window, bool store) {
    TIniOut state(&window);
    state.SetItems(TIniOut::kReportPreviewItems);
    if (store)
      state.StoreWindowState();
    else
      state.RestoreWindowState();
  });

  // A second start on the same settings brings the first one's window to the front.
  TSingleInstance instance(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation),
                           TRegistry::StoreFile());
  switch (instance.Claim()) {
    case TSingleInstance::TStart::First:
      break;
    case TSingleInstance::TStart::Raised:
      return 0;
    case TSingleInstance::TStart::Unreachable:
      prompts.Message(TSingleInstance::kAlreadyRunning, kApplicationTitle, TPrompts::Buttons::Ok,
                      TPrompts::Icon::Information);
      return 1;
  }

  int result = 1;
  // What escapes the message loop, or the start before it, ends the program with a word
  // rather than a crash.
  try {
    TMainForm mainForm;
    prompts.SetMainWindow(&mainForm);
    QObject::connect(&instance, &TSingleInstance::RaiseRequested, &mainForm,
                     [&mainForm] { BringToFront(mainForm); });
    mainForm.show();
    result = application.exec();
  } catch (const std::exception& error) {
    ShowError(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    ShowError(kUnknownError);
  }
  THelp::Install(nullptr);
  return result;
}
