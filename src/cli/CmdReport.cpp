// The report command: a report of the pool written as RTF or PDF, the same layouts as on
// paper, for organisers who publish standings without a printer.
#include <memory>

#include "Cli.h"
#include "FFDataModule.h"
#include "OpenPool.h"
#include "PoolReports.h"

namespace {
QString ReportNames() {
  QStringList names;
  for (const auto& entry : TPoolReports::Catalogue())
    names << QLatin1Char('"') + entry.ListText + QLatin1Char('"');
  return names.join(QStringLiteral(", "));
}
}  // namespace

int CmdReport(const QStringList& arguments, TCliIO& io) {
  QStringList rest = arguments;
  const QString rtfFile = Cli::TakeOption(rest, QStringLiteral("--rtf"));
  const QString pdfFile = Cli::TakeOption(rest, QStringLiteral("--pdf"));
  if (rtfFile.isEmpty() == pdfFile.isEmpty()) {
    throw TUsageError("give exactly one of --rtf FILE and --pdf FILE");
  }
  if (rest.size() != 2)
    throw TUsageError("expected a pool folder and a report name");
  const QString directory = rest.at(0);
  const int p = TPoolReports::IndexOf(rest.at(1));
  if (p < 0) {
    throw TUsageError(QStringLiteral("unknown report \"%1\"; the reports are %2")
                          .arg(rest.at(1), ReportNames())
                          .toStdString());
  }
  if (!rtfFile.isEmpty() && p == TPoolReports::kBlankEntrySheet) {
    Cli::WriteLine(io.Err, QStringLiteral("The Blank Entry Sheet has no RTF output; use --pdf"));
    return 1;
  }

  auto module = std::make_unique<TFFDataModule>();
  if (!Cli::OpenPoolForReading(directory, *module, io))
    return 1;
  TOpenPool pool;
  pool.SetDataModule(std::move(module));
  const TFFDataModule& data = *pool.DataModule();

  int status = 0;
  if (!TPoolReports::Available(p, data)) {
    Cli::WriteLine(io.Err, TPoolReports::kFirstRoundOpen);
    status = 1;
  } else {
    TPoolReports reports(pool);
    reports.Prepare(p);
    QString error;
    bool written = false;
    if (!rtfFile.isEmpty()) {
      TRTFFiler& filer = *reports.RtfFiler(p);
      filer.FileName = rtfFile;
      written = filer.Run();
      error = filer.ErrorString();
    } else {
      written = reports.ReportSystem(p).RunToPdf(pdfFile, &error);
    }
    if (!written) {
      Cli::WriteLine(io.Err, error);
      status = 1;
    }
  }
  pool.Close();
  return status;
}
