// The main window's commands that share a pool: players' picks read from and written to a
// picks sheet, and the standings written as a web page.
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStatusBar>
#include <optional>

#include "FFDataModule.h"
#include "MainForm.h"
#include "Outlook.h"
#include "PicksImport.h"
#include "PicksSheet.h"
#include "PoolReports.h"
#include "Prompts.h"
#include "ReportUi.h"
#include "SafeFile.h"
#include "Shell.h"
#include "StandingsPage.h"

namespace {

const QString kCsvFilter = QStringLiteral("Picks sheets (*.csv);;All files (*)");
const QString kHtmlFilter = QStringLiteral("Web pages (*.html *.htm);;All files (*)");

// The file first proposed for a pool: beside the pool's folder, named after the pool.
QString ProposedFile(const TFFDataModule& pool, const QString& what) {
  QString name = pool.SystemFile().PoolName().trimmed();
  if (name.isEmpty())
    name = QFileInfo(pool.Directory()).completeBaseName();
  // Characters no file name may hold on the platforms the program runs on.
  name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
  return QDir(QFileInfo(pool.Directory()).absolutePath()).filePath(name + QLatin1Char(' ') + what);
}

// Asks for the file of a sharing command, first proposing `what` beside the pool's folder.
bool AskFile(const TFFDataModule& pool, TPrompts::FileDialog dialog, const QString& title,
             const QString& filter, const QString& what, QString* file) {
  *file = ProposedFile(pool, what);
  return TPrompts::Current().AskFileName(dialog, title, filter, file);
}

void Tell(const QString& text) {
  TPrompts::Current().Message(text, kMessageTitle, TPrompts::Buttons::Ok,
                              TPrompts::Icon::Information);
}

}  // namespace

void TMainForm::actFileImportExecute() {
  TFFDataModule* pool = FFDataModule();
  if (!PoolIsOpen() || !pool)
    return;
  QString file;
  if (!AskFile(*pool, TPrompts::FileDialog::Open, kImportTitle, kCsvFilter,
               QStringLiteral("picks.csv"), &file)) {
    return;
  }
  QByteArray bytes;
  QString error;
  if (!TPicksImport::LoadFile(file, &bytes, &error)) {
    TPrompts::Current().Refuse(kCannotRead.arg(error));
    return;
  }
  auto import = std::make_unique<TPicksImport>(*pool, false);
  if (!import->Read(bytes) && import->OnlyExistingNames() &&
      TPrompts::Current().Confirm(kReplaceQuestion.arg(import->ProblemCount()),
                                  TPrompts::Icon::Question)) {
    import = std::make_unique<TPicksImport>(*pool, true);
    import->Read(bytes);
  }
  if (import->ProblemCount() > 0) {
    TPrompts::Current().Refuse(kNothingImported + QStringLiteral("\n\n") +
                               import->Report(kProblemsShown));
    return;
  }
  const int added = import->NewCount();
  const int replaced = import->ReplacedCount();
  FOpenPool.ImportPlayers(std::move(import->Players()));
  Tell(kImported.arg(added).arg(replaced));
}

void TMainForm::actFileExportExecute() {
  TFFDataModule* pool = FFDataModule();
  if (!PoolIsOpen() || !pool)
    return;
  QString file;
  if (!AskFile(*pool, TPrompts::FileDialog::Save, kExportTitle, kCsvFilter,
               QStringLiteral("picks.csv"), &file)) {
    return;
  }
  QString error;
  if (!TSafeFile::WriteWhole(file, TPicksSheet(*pool).Export(), &error)) {
    TPrompts::Current().Refuse(kCannotWrite.arg(error));
    return;
  }
  barStatus->showMessage(
      kExported.arg(pool->PlayerPicksFile().Count()).arg(QDir::toNativeSeparators(file)));
}

void TMainForm::actFilePublishExecute() {
  TFFDataModule* pool = FFDataModule();
  if (!PoolIsOpen() || !pool)
    return;
  QString file;
  if (!AskFile(*pool, TPrompts::FileDialog::Save, kPublishTitle, kHtmlFilter,
               QStringLiteral("standings.html"), &file)) {
    return;
  }
  // Scored like a printed report: who has lost as the chart says now.
  RecountTeams(false);
  // Who can still win takes a while with many games left: it runs on worker threads behind
  // the report status window, and a Cancel there writes no page.
  std::optional<TOutlookResult> outlook;
  if (StandingsPage::ShowsWinChances(*pool)) {
    const TOutlookInput input = TOutlookInput::FromPool(*pool);
    TOutlookProgress progress;
    TOutlookResult result;
    TReportUi::Current().RunWithProgress(
        kPublishTitle, TPoolReports::kOutlookWorking,
        [&] { result = ComputeOutlook(input, TOutlookOptions{}, &progress); },
        [&] { return progress.Fraction(); }, [&] { progress.Cancel(); });
    if (result.Cancelled)
      return;
    outlook = std::move(result);
  }
  QString error;
  if (!TSafeFile::WriteWhole(
          file, StandingsPage::Html(*pool, QDate::currentDate(), outlook ? &*outlook : nullptr),
          &error)) {
    TPrompts::Current().Refuse(kCannotWrite.arg(error), this);
    return;
  }
  if (TPrompts::Current().Confirm(kPublished.arg(QDir::toNativeSeparators(file)),
                                  TPrompts::Icon::Question, this)) {
    TShell::Current().OpenUrl(QUrl::fromLocalFile(file));
  }
}
