// The main window's commands that share a pool: players' picks read from and written to a
// picks sheet, and the standings written as a web page.
#include <QDate>
#include <QDir>
#include <QStatusBar>

#include "BracketBuild.h"
#include "Clock.h"
#include "CollectPicksForm.h"
#include "FFDataModule.h"
#include "MainForm.h"
#include "Outlook.h"
#include "PoolReports.h"
#include "Prompts.h"
#include "PublishOnSave.h"
#include "ShareCommands.h"
#include "Shell.h"
#include "StandingsPage.h"
#include "TournamentCommands.h"

namespace {
const QString kHtmlFilter = QStringLiteral("Web pages (*.html *.htm);;All files (*)");
}  // namespace

void TMainForm::actFileImportExecute() {
  if (PoolIsOpen())
    TShareCommands::ImportPlayers(FOpenPool, this);
}

void TMainForm::actFileImportResultsExecute() {
  if (!PoolIsOpen())
    return;
  // The results chart is the Bracket Builder's: its Edit > Undo takes the import back.
  const QString done =
      TTournamentCommands::ImportResults(FOpenPool, this, frmBracketBuild->UndoStack());
  if (!done.isEmpty())
    barStatus->showMessage(done);
}

void TMainForm::actFileExportExecute() {
  if (!PoolIsOpen())
    return;
  const QString written = TShareCommands::ExportPlayers(FOpenPool, this);
  if (!written.isEmpty())
    barStatus->showMessage(written);
}

void TMainForm::actFileExportBlankExecute() {
  if (!PoolIsOpen())
    return;
  const QString written = TShareCommands::ExportBlankSheet(FOpenPool, this);
  if (!written.isEmpty())
    barStatus->showMessage(written);
}

void TMainForm::actFilePublishExecute() {
  const TFFDataModule* pool = FFDataModule();
  if (!PoolIsOpen() || !pool)
    return;
  QString file;
  if (!TShareCommands::AskFile(*pool, TPrompts::FileDialog::Save, TShareCommands::kPublishTitle,
                               kHtmlFilter, QStringLiteral("standings.html"), &file)) {
    return;
  }
  // Who can still win takes a while with many games left: it runs on worker threads behind
  // the report status window, and a Cancel there writes no page.
  std::unique_ptr<TOutlookResult> outlook;
  if (StandingsPage::ShowsWinChances(*pool)) {
    outlook = TPoolReports::WorkOutOutlook(*pool, TShareCommands::kPublishTitle);
    if (!outlook)
      return;
  }
  QString error;
  if (!StandingsPage::WriteFile(*pool, TClock::Current().Now().date(), outlook.get(), file,
                                &error)) {
    TPrompts::Current().Refuse(TShareCommands::kCannotWrite.arg(error), this);
    return;
  }
  if (TPrompts::Current().Confirm(kPublished.arg(QDir::toNativeSeparators(file)),
                                  TPrompts::Icon::Question, this)) {
    TShell::Current().OpenUrl(QUrl::fromLocalFile(file));
  }
}

void TMainForm::actFilePublishOnSaveExecute() {
  const TFFDataModule* pool = FFDataModule();
  if (!PoolIsOpen() || !pool)
    return;
  TPrompts& prompts = TPrompts::Current();
  const QString target = PublishOnSave::Target(pool->Directory());
  QString file;
  if (!target.isEmpty()) {
    if (!prompts.Confirm(kPublishingTo.arg(QDir::toNativeSeparators(target)),
                         TPrompts::Icon::Question, this, TPrompts::Answer::No)) {
      return;
    }
  } else if (!TShareCommands::AskFile(*pool, TPrompts::FileDialog::Save,
                                      TShareCommands::kPublishTitle, kHtmlFilter,
                                      QStringLiteral("standings.html"), &file)) {
    return;
  }
  QString error;
  if (!PublishOnSave::SetTarget(pool->Directory(), file, &error)) {
    prompts.Refuse(TShareCommands::kCannotWrite.arg(error), this);
    return;
  }
  if (!file.isEmpty())
    prompts.Inform(kWillPublish.arg(QDir::toNativeSeparators(file)), this);
}

void TMainForm::actFileCollectExecute() {
  if (!PoolIsOpen())
    return;
  frmCollectPicks->show();
  frmCollectPicks->raise();
  frmCollectPicks->activateWindow();
}
