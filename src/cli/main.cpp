#include <QFile>
#include <QGuiApplication>
#include <cstdio>

#include "Cli.h"

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
  QGuiApplication app(argc, argv);
  QFile out;
  QFile err;
  out.open(stdout, QIODevice::WriteOnly);
  err.open(stderr, QIODevice::WriteOnly);
  TCliIO io{out, err};
  const int status = RunCli(app.arguments().mid(1), io);
  out.flush();
  err.flush();
  return status;
}
