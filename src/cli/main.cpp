#include <QFile>
#include <QGuiApplication>
#include <csignal>
#include <cstdio>

#include "Cli.h"
#include "StandardOutput.h"

namespace {
// The offscreen platform complains about a missing runtime folder it never needs here; every
// other message of Qt still reaches stderr.
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
    return;
  std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
}
}  // namespace

int main(int argc, char* argv[]) {
  // The tool never shows a window; drawing charts and reports works without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(FilterMessages);
#ifdef SIGPIPE
  // A reader that went away is a write error like any other, not a silent death.
  std::signal(SIGPIPE, SIG_IGN);
#endif
#ifdef SIGXFSZ
  // So is a file grown to the size limit ("ulimit -f"): the write fails and says why.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  QGuiApplication app(argc, argv);
  TStandardOutput out(fileno(stdout));
  QFile err;
  err.open(fileno(stderr), QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
  TCliIO io{out, err};
  int status = RunCli(app.arguments().mid(1), io);
  if (!out.Finish()) {
    Cli::WriteLine(err, QStringLiteral("Cannot write the output: ") + out.Reason());
    status = 1;
  }
  err.flush();
  return status;
}
