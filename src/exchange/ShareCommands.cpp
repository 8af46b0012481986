#include "ShareCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <memory>

#include "FFDataModule.h"
#include "OpenPool.h"
#include "PicksImport.h"
#include "PicksSheet.h"
#include "SafeFile.h"
#include "Text.h"

namespace {
const QString kCsvFilter = QStringLiteral("Picks sheets (*.csv);;All files (*)");
const QString kCsvFile = QStringLiteral("picks.csv");
const QString kBlankSheetFile = QStringLiteral("blank picks sheet.csv");
}  // namespace

bool TShareCommands::AskFile(const TFFDataModule& pool, TPrompts::FileDialog dialog,
                             const QString& title, const QString& filter, const QString& what,
                             QString* file) {
  QString name = pool.SystemFile().PoolName().trimmed();
  if (name.isEmpty())
    name = QFileInfo(pool.Directory()).completeBaseName();
  // Characters no file name may hold on the platforms the program runs on.
  name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
  *file = QDir(QFileInfo(pool.Directory()).absolutePath()).filePath(name + QLatin1Char(' ') + what);
  return TPrompts::Current().AskFileName(dialog, title, filter, file);
}

void TShareCommands::ImportPlayers(TOpenPool& pool, QWidget* asker, QUndoStack* undo,
                                   bool askIfGamesPlayed) {
  const TFFDataModule* module = pool.DataModule();
  if (!pool.IsOpen() || !module)
    return;
  TPrompts& prompts = TPrompts::Current();
  if (askIfGamesPlayed && pool.GamesPlayed() &&
      !prompts.Confirm(TOpenPool::kGamesPlayedQuestion, TPrompts::Icon::Question, asker,
                       TPrompts::Answer::No)) {
    return;
  }
  QString file;
  if (!AskFile(*module, TPrompts::FileDialog::Open, kImportTitle, kCsvFilter, kCsvFile, &file))
    return;
  QFile sheet;
  QString error;
  if (!TPicksImport::OpenFile(file, &sheet, &error)) {
    prompts.Refuse(kCannotRead.arg(error), asker);
    return;
  }
  auto import = std::make_unique<TPicksImport>(*module, false);
  auto tell = [&prompts, asker](const QString& text) {
    prompts.MessageFrom(asker, text, kMessageTitle, TPrompts::Buttons::Ok,
                        TPrompts::Icon::Information);
  };
  if (!import->Read(sheet) && import->OnlyExistingNames()) {
    // No is the organiser's choice, not a fault of the sheet.
    if (!prompts.Confirm(kReplaceQuestion.arg(import->ProblemCount()), TPrompts::Icon::Question,
                         asker)) {
      tell(kImportCancelled);
      return;
    }
    import = std::make_unique<TPicksImport>(*module, true);
    sheet.seek(0);
    import->Read(sheet);
  }
  if (import->ProblemCount() > 0) {
    prompts.Refuse(kNothingImported + QStringLiteral("\n\n") + import->Report(kProblemsShown),
                   asker);
    return;
  }
  const int added = import->NewCount();
  const int replaced = import->ReplacedCount();
  if (added + replaced == 0) {
    tell(kNoPlayers);
    return;
  }
  pool.ImportPlayers(std::move(import->Players()), undo);
  tell(Imported(added, replaced));
}

QString TShareCommands::Imported(int added, int replaced) {
  return ImportDone(added, replaced) + QStringLiteral(" Save the pool to keep the changes.");
}

QString TShareCommands::ImportDone(int added, int replaced) {
  auto count = [](int n, const QString& one, const QString& many) {
    return n == 1 ? one : many.arg(n);
  };
  QStringList done;
  if (added > 0) {
    done << count(added, QStringLiteral("imported 1 new player"),
                  QStringLiteral("imported %1 new players"));
  }
  if (replaced > 0) {
    done << count(replaced, QStringLiteral("replaced the picks of 1 player"),
                  QStringLiteral("replaced the picks of %1 players"));
  }
  if (done.isEmpty())
    done << QStringLiteral("imported no players");
  return AsSentence(done.join(QStringLiteral(" and "))) + QLatin1Char('.');
}

QString TShareCommands::ExportPlayers(const TOpenPool& pool, QWidget* asker) {
  const TFFDataModule* module = pool.DataModule();
  if (!pool.IsOpen() || !module)
    return {};
  QString file;
  if (!WriteSheet(*module, kExportTitle, kCsvFile, TPicksSheet(*module).Export(), asker, &file))
    return {};
  return kExported.arg(module->PlayerPicksFile().Count()).arg(QDir::toNativeSeparators(file));
}

QString TShareCommands::ExportBlankSheet(const TOpenPool& pool, QWidget* asker) {
  const TFFDataModule* module = pool.DataModule();
  if (!pool.IsOpen() || !module)
    return {};
  QString file;
  if (!WriteSheet(*module, kBlankSheetTitle, kBlankSheetFile, TPicksSheet(*module).Template(),
                  asker, &file)) {
    return {};
  }
  return kBlankSheetWritten.arg(QDir::toNativeSeparators(file));
}

bool TShareCommands::WriteSheet(const TFFDataModule& pool, const QString& title,
                                const QString& what, const QByteArray& sheet, QWidget* asker,
                                QString* file) {
  if (!AskFile(pool, TPrompts::FileDialog::Save, title, kCsvFilter, what, file))
    return false;
  QString error;
  if (!TSafeFile::WriteWhole(*file, sheet, &error)) {
    TPrompts::Current().Refuse(kCannotWrite.arg(error), asker);
    return false;
  }
  return true;
}
