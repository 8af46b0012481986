#pragma once

#include <QElapsedTimer>
#include <QString>

#include "ReportUi.h"

class QIODevice;

// The report windows of the command-line tool: no setup and no preview, but work that takes
// a while (who can still win, the pages of a long report) says how far it has got on standard
// error, while that is a terminal: one line, rewritten in place, from a couple of seconds in.
class TConsoleReportUi : public TReportUi {
 public:
  // `quietSeconds`: how long work goes on before its progress shows.
  TConsoleReportUi(QIODevice& err, bool terminal, double quietSeconds = 2);

  // Whether `device` is the terminal itself.
  static bool IsTerminal(QIODevice& device);

  bool Setup(const TReportSystem& system, TReportSetup& setup) override;
  bool PrintPages(TReportSystem& system, int copies) override;
  void ShowStatus(const QString& title, const QString& text) override;
  void HideStatus() override;
  void Preview(TReportSystem& system, const std::vector<QImage>& pages) override;
  void RunWithProgress(const QString& title, const QString& text, const std::function<void()>& work,
                       const std::function<double()>& progress,
                       const std::function<void()>& cancel) override;

 private:
  // Rewrites the progress line with `text`, at most a few times a second.
  void Show(const QString& text, bool now);
  void EndLine();

  QIODevice& FErr;
  const bool FTerminal;
  const qint64 FQuietMs;
  QElapsedTimer FSince;  // since the work began
  QElapsedTimer FShown;  // since the line was last written
  bool FLineOpen = false;
};
