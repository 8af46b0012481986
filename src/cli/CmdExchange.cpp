// The commands that share a pool: players' picks to and from a spreadsheet, and the standings
// as a web page. The import changes the pool, as serve (CmdServe.cpp) does.
#include <QDate>
#include <QFile>
#include <memory>
#include <string>

#include "Cli.h"
#include "Clock.h"
#include "FFDataModule.h"
#include "OpenPool.h"
#include "Outlook.h"
#include "PicksImport.h"
#include "PicksSheet.h"
#include "PoolReports.h"
#include "PublishOnSave.h"
#include "ShareCommands.h"
#include "StandingsPage.h"

namespace {
const QString kGamesPlayed = QStringLiteral(
    "Nothing was imported: the tournament has begun (a game on the results chart has its "
    "winner), and picks read now could be made knowing it. To import picks handed in before "
    "the first game, add --after-results.");

// The shape of template and export: read the pool, write one file made from it to the
// file given with `option`.
template <class TMake>
int WritePoolFile(const QStringList& arguments, TCliIO& io, const char* option, TMake make) {
  QStringList rest = arguments;
  const QString file = Cli::TakeOption(rest, QLatin1String(option));
  const QString directory = Cli::TakeDirectory(rest);
  if (file.isEmpty())
    throw TUsageError(std::string("missing ") + option + " FILE");
  TFFDataModule pool;
  if (!Cli::OpenPoolForReading(directory, pool, io))
    return 1;
  const QByteArray bytes = make(pool);
  Cli::ClosePoolUnsaved(pool);
  return Cli::WriteFile(file, bytes, io) ? 0 : 1;
}
}  // namespace

int CmdTemplate(const QStringList& arguments, TCliIO& io) {
  return WritePoolFile(arguments, io, "--csv",
                       [](const TFFDataModule& pool) { return TPicksSheet(pool).Template(); });
}

int CmdExportPicks(const QStringList& arguments, TCliIO& io) {
  return WritePoolFile(arguments, io, "--csv",
                       [](const TFFDataModule& pool) { return TPicksSheet(pool).Export(); });
}

int CmdImportPicks(const QStringList& arguments, TCliIO& io) {
  QStringList rest = arguments;
  const bool replace = rest.removeAll(QStringLiteral("--replace")) > 0;
  const bool afterResults = rest.removeAll(QStringLiteral("--after-results")) > 0;
  if (rest.size() != 2 || rest.at(0).startsWith(QLatin1String("--")) ||
      rest.at(1).startsWith(QLatin1String("--"))) {
    throw TUsageError("expected a pool folder and a CSV file");
  }
  const QString directory = rest.at(0);
  const QString file = rest.at(1);
  QFile sheet;
  QString error;
  if (!TPicksImport::OpenFile(file, &sheet, &error)) {
    Cli::WriteLine(io.Err, QStringLiteral("Cannot read ") + error);
    return 1;
  }

  // The players go in through the pool's document, as in the program.
  TOpenPool document;
  if (!Cli::OpenDocumentForChange(directory, document, io))
    return 1;
  // Picks read after a game has its winner could have been made knowing it.
  if (document.GamesPlayed() && !afterResults) {
    Cli::WriteLine(io.Err, kGamesPlayed);
    document.Close();
    return 1;
  }
  TPicksImport import(*document.DataModule(), replace);
  if (!import.Read(sheet)) {
    Cli::WriteLine(io.Err, QStringLiteral("Nothing was imported; the pool is as it was."));
    Cli::WriteLine(io.Err, import.Report());
    if (import.OnlyExistingNames())
      Cli::WriteLine(io.Err, QStringLiteral("To replace those players, import with --replace."));
    document.Close();
    return 1;
  }
  const int added = import.NewCount();
  const int replaced = import.ReplacedCount();
  document.ImportPlayers(std::move(import.Players()));
  if (!Cli::SaveAndClose(document, io))
    return 1;
  Cli::WriteLine(io.Out, TShareCommands::ImportDone(added, replaced));
  return 0;
}

// Records where the pool is published after every save (nowhere when `file` is empty), holding
// the pool's lock as any change does, and publishes it there at once.
int PublishOnEverySave(const QString& directory, const QString& file, TCliIO& io) {
  TOpenPool document;
  if (!Cli::OpenDocumentForChange(directory, document, io))
    return 1;
  QString error;
  bool done = PublishOnSave::SetTarget(directory, file, &error);
  if (!done)
    Cli::WriteLine(io.Err, QStringLiteral("Cannot write ") + error);
  else if (file.isEmpty())
    Cli::WriteLine(io.Out, QStringLiteral("The standings are no longer published on save."));
  else if ((done = PublishOnSave::Publish(*document.DataModule(), &error)))
    Cli::WriteLine(io.Out, QStringLiteral("The standings are published to %1 after every save.")
                               .arg(PublishOnSave::Target(directory)));
  else
    Cli::WriteLine(io.Err, error);
  document.Close();
  return done ? 0 : 1;
}

int CmdPublish(const QStringList& arguments, TCliIO& io) {
  QStringList rest = arguments;
  TOutlookOptions options;
  options.Threads = Cli::TakeThreads(rest);
  const bool onSave = rest.removeAll(QStringLiteral("--on-save")) > 0;
  const bool stop = rest.removeAll(QStringLiteral("--stop-on-save")) > 0;
  const QString file = Cli::TakeOption(rest, QStringLiteral("--html"));
  const QString directory = Cli::TakeDirectory(rest);
  if (stop) {
    if (onSave || !file.isEmpty())
      throw TUsageError("--stop-on-save takes neither --html nor --on-save");
    return PublishOnEverySave(directory, {}, io);
  }
  if (file.isEmpty())
    throw TUsageError("missing --html FILE");
  if (onSave)
    return PublishOnEverySave(directory, file, io);
  TFFDataModule pool;
  if (!Cli::OpenPoolForReading(directory, pool, io))
    return 1;
  // The page goes to its file as it is made: a million players' page is never whole in memory.
  std::unique_ptr<TOutlookResult> outlook;
  if (StandingsPage::ShowsWinChances(pool))
    outlook = TPoolReports::WorkOutOutlook(pool, TShareCommands::kPublishTitle, options);
  QString error;
  const bool written =
      StandingsPage::WriteFile(pool, TClock::Current().Now().date(), outlook.get(), file, &error);
  Cli::ClosePoolUnsaved(pool);
  if (!written)
    Cli::WriteLine(io.Err, QStringLiteral("Cannot write ") + error);
  return written ? 0 : 1;
}
