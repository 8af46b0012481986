#include "TournamentCommands.h"

#include <QDir>

#include "FFDataModule.h"
#include "FieldSheet.h"
#include "OpenPool.h"
#include "Prompts.h"
#include "ResultsFile.h"
#include "SafeFile.h"
#include "ShareCommands.h"

namespace {

// Asks for the file of a command beside the pool and reads it whole; false when cancelled or
// refused (told already).
bool AskAndRead(const TOpenPool& pool, const QString& title, const QString& filter,
                const QString& what, qint64 limit, QWidget* asker, QString* path,
                QByteArray* bytes) {
  if (!TShareCommands::AskFile(*pool.DataModule(), TPrompts::FileDialog::Open, title, filter, what,
                               path))
    return false;
  QString why;
  if (DiskFile::ReadAtMost(*path, limit, bytes, &why))
    return true;
  TPrompts::Current().Refuse(
      TTournamentCommands::kNothingChanged.arg(QDir::toNativeSeparators(*path), why), asker);
  return false;
}

void Tell(const QString& text, QWidget* asker) {
  TPrompts::Current().MessageFrom(asker, text, kMessageTitle, TPrompts::Buttons::Ok,
                                  TPrompts::Icon::Information);
}

}  // namespace

QString TTournamentCommands::ImportField(TOpenPool& pool, QWidget* asker, QUndoStack* undo) {
  if (!pool.IsOpen())
    return {};
  // Refused before a file is asked for: once locked, no sheet can come in.
  if (pool.Finalized()) {
    TPrompts::Current().Refuse(TOpenPool::kFirstRoundStarted, asker);
    return {};
  }
  QString path;
  QByteArray bytes;
  if (!AskAndRead(pool, kFieldTitle, kFieldFilter, QStringLiteral("field.csv"),
                  FieldSheet::kMaxBytes, asker, &path, &bytes))
    return {};
  TField field;
  QString error;
  if (!FieldSheet::Read(bytes, &field, &error)) {
    TPrompts::Current().Refuse(kNothingChanged.arg(QDir::toNativeSeparators(path), error), asker);
    return {};
  }
  const TEditResult result = pool.ImportField(field, undo);
  if (!result) {
    if (result.Refusal.isEmpty())
      Tell(kFieldHeld, asker);
    else
      TPrompts::Current().Refuse(result.Refusal, asker);
    return {};
  }
  return kFieldIn.arg(
      QStringList(field.Regions.begin(), field.Regions.end()).join(QStringLiteral(", ")));
}

QString TTournamentCommands::ImportResults(TOpenPool& pool, QWidget* asker, QUndoStack* undo) {
  if (!pool.IsOpen())
    return {};
  if (!pool.Finalized()) {
    TPrompts::Current().Refuse(TOpenPool::kNotFinalized, asker);
    return {};
  }
  QString path;
  QByteArray bytes;
  if (!AskAndRead(pool, kResultsTitle, kResultsFilter, QStringLiteral("results.txt"),
                  TResultsFile::kMaxBytes, asker, &path, &bytes))
    return {};
  TResultsFile results;
  QString error;
  if (!results.Read(pool, QString::fromUtf8(bytes).split(QLatin1Char('\n')), &error)) {
    TPrompts::Current().Refuse(kNothingChanged.arg(QDir::toNativeSeparators(path), error), asker);
    return {};
  }
  const QStringList& changes = results.Changes();
  if (changes.isEmpty()) {
    Tell(kResultsHeld, asker);
    return {};
  }
  results.Apply(pool, undo);
  QStringList shown = changes.mid(0, kChangesShown);
  if (changes.size() > kChangesShown)
    shown << QStringLiteral("... and %1 more").arg(changes.size() - kChangesShown);
  Tell(kResultsDone.arg(QDir::toNativeSeparators(path), shown.join(QLatin1Char('\n'))), asker);
  return QStringLiteral("Results imported: %1 change(s). Save the pool to keep them.")
      .arg(changes.size());
}

void TTournamentCommands::RenameTeam(TOpenPool& pool, const QString& name, QWidget* asker,
                                     QUndoStack* undo) {
  const TTeamSeedObject* team = pool.FindSameTeam(name);
  if (!team)
    return;
  const QString old = team->TeamName();
  QString text = old;
  if (!TPrompts::Current().AskText(kRenameTitle, kRenamePrompt.arg(old), &text,
                                   TTeamsFile::kNameWidth))
    return;
  const TEditResult result = pool.RenameTeam(old, text, undo);
  if (!result.Refusal.isEmpty())
    TPrompts::Current().Refuse(result.Refusal, asker);
}
