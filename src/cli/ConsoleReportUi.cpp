#include "ConsoleReportUi.h"

#include <QFile>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

namespace {
constexpr qint64 kRefreshMs = 250;
}  // namespace

TConsoleReportUi::TConsoleReportUi(QIODevice& err, bool terminal, double quietSeconds)
    : FErr(err), FTerminal(terminal), FQuietMs(std::llround(quietSeconds * 1000)) {
  FSince.start();
}

bool TConsoleReportUi::IsTerminal(QIODevice& device) {
  const auto* file = qobject_cast<QFile*>(&device);
  return file && file->handle() >= 0 && isatty(file->handle());
}

bool TConsoleReportUi::Setup(const TReportSystem&, TReportSetup&) {
  return false;
}

bool TConsoleReportUi::PrintPages(TReportSystem&, int) {
  return false;
}

void TConsoleReportUi::Preview(TReportSystem&, const std::vector<QImage>&) {}

void TConsoleReportUi::ShowStatus(const QString&, const QString& text) {
  if (!FLineOpen && !FShown.isValid())
    FSince.restart();
  Show(text, false);
}

void TConsoleReportUi::HideStatus() {
  EndLine();
}

void TConsoleReportUi::RunWithProgress(const QString&, const QString& text,
                                       const std::function<void()>& work,
                                       const std::function<double()>& progress,
                                       const std::function<void()>&) {
  std::atomic<bool> done{false};
  std::thread worker([&] {
    work();
    done.store(true);
  });
  FSince.restart();
  const auto line = [&] {
    return QStringLiteral("%1: %2%").arg(
        text,
        QString::number(static_cast<int>(std::floor(100 * std::clamp(progress(), 0.0, 1.0)))));
  };
  while (!done.load()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    Show(line(), false);
  }
  worker.join();
  if (FLineOpen)
    Show(line(), true);
  EndLine();
}

void TConsoleReportUi::Show(const QString& text, bool now) {
  if (!FTerminal || FSince.elapsed() < FQuietMs)
    return;
  if (!now && FShown.isValid() && FShown.elapsed() < kRefreshMs)
    return;
  FShown.start();
  // Back to the start of the line, the text, and blanks over what a longer one left.
  FErr.write("\r" + text.toUtf8() + "\x1b[K");
  FLineOpen = true;
}

void TConsoleReportUi::EndLine() {
  if (FLineOpen)
    FErr.write("\n");
  FLineOpen = false;
  FShown.invalidate();
}
