// The commands that set a pool up from files and build its chart as the tournament goes on:
// the field from a sheet, the lock of the first round, a team's new name, the invited, the
// prizes.
#include "Cli.h"
#include "FFDataModule.h"
#include "FieldSheet.h"
#include "InvitedFile.h"
#include "OpenPool.h"

namespace {

// Opens the pool's document, makes one edit and saves when it made one; a refusal is printed
// and changes nothing.
template <class TEdit>
int EditPool(const QString& directory, TCliIO& io, const QString& done, TEdit edit) {
  TOpenPool document;
  if (!Cli::OpenDocumentForChange(directory, document, io))
    return 1;
  const TEditResult result = edit(document);
  if (!result) {
    document.Close();
    if (!result.Refusal.isEmpty()) {
      Cli::WriteLine(io.Err, result.Refusal);
      return 1;
    }
    Cli::WriteLine(io.Out, QStringLiteral("No change: the pool holds this already."));
    return 0;
  }
  if (!Cli::SaveAndClose(document, io))
    return 1;
  Cli::WriteLine(io.Out, done);
  return 0;
}

}  // namespace

int CmdField(const QStringList& arguments, TCliIO& io) {
  if (arguments.size() != 2 || arguments.at(0).startsWith(QLatin1String("--")))
    throw TUsageError("expected a pool folder and a field sheet");
  QByteArray bytes;
  if (!Cli::ReadSmallFile(arguments.at(1), FieldSheet::kMaxBytes, &bytes, io))
    return 1;
  TField field;
  QString error;
  if (!FieldSheet::Read(bytes, &field, &error)) {
    Cli::RefuseUnchanged(error, io);
    return 1;
  }
  return EditPool(
      arguments.at(0), io,
      QStringLiteral("The field is in: 64 teams in %1.")
          .arg(QStringList(field.Regions.begin(), field.Regions.end()).join(QStringLiteral(", "))),
      [&field](TOpenPool& pool) { return pool.ImportField(field); });
}

int CmdLock(const QStringList& arguments, TCliIO& io) {
  if (arguments.size() != 1 || arguments.at(0).startsWith(QLatin1String("--")))
    throw TUsageError("expected a pool folder");
  return EditPool(arguments.at(0), io, QStringLiteral("The first round is locked."),
                  [](TOpenPool& pool) {
                    if (pool.Finalized())
                      return TEditResult();
                    // Nobody can pick a line nobody sees: a first round short of a team stays
                    // open.
                    if (const int empty = pool.EmptyFirstRoundLines(); empty > 0) {
                      return TEditResult::Refused(
                          QStringLiteral("The first round has %1 empty line(s); fill them "
                                         "before locking it.")
                              .arg(empty));
                    }
                    pool.Lock();
                    return TEditResult::Done();
                  });
}

int CmdRename(const QStringList& arguments, TCliIO& io) {
  if (arguments.size() != 3 || arguments.at(0).startsWith(QLatin1String("--")))
    throw TUsageError("expected a pool folder, a team's name and its new name");
  return EditPool(
      arguments.at(0), io,
      QStringLiteral("Renamed %1 to %2, in every player's picks too.")
          .arg(arguments.at(1).trimmed(), arguments.at(2).trimmed()),
      [&arguments](TOpenPool& pool) { return pool.RenameTeam(arguments.at(1), arguments.at(2)); });
}

int CmdInvite(const QStringList& arguments, TCliIO& io) {
  if (arguments.size() != 2 || arguments.at(0).startsWith(QLatin1String("--")))
    throw TUsageError("expected a pool folder and a file of names, one a line");
  QByteArray bytes;
  if (!Cli::ReadSmallFile(arguments.at(1), InvitedFile::kSizeLimit, &bytes, io))
    return 1;
  QStringList names;
  QString error;
  if (!InvitedFile::Parse(bytes, &names, &error)) {
    Cli::RefuseUnchanged(error, io);
    return 1;
  }
  return EditPool(
      arguments.at(0), io,
      QStringLiteral("%1 invited; players --missing lists who has not entered.").arg(names.size()),
      [&names](TOpenPool& pool) {
        if (pool.DataModule()->Invited() == names)
          return TEditResult();
        pool.SetInvited(names);
        return TEditResult::Done();
      });
}

namespace {
QString PrizesText(const Prizes::TPrizes& prizes) {
  if (!prizes.IsSet())
    return QStringLiteral("No prizes: set them with --fee N --split 60,30,10.");
  return QStringLiteral("Entry fee: %1\nPrize split: %2")
      .arg(Prizes::MoneyText(prizes.FeeCents), Prizes::SplitText(prizes.Split));
}
}  // namespace

int CmdPrizes(const QStringList& arguments, TCliIO& io) {
  QStringList rest = arguments;
  const QString fee = Cli::TakeOption(rest, QStringLiteral("--fee"));
  const QString split = Cli::TakeOption(rest, QStringLiteral("--split"));
  const QString directory = Cli::TakeDirectory(rest);
  if (!arguments.contains(QStringLiteral("--fee")) &&
      !arguments.contains(QStringLiteral("--split"))) {
    TFFDataModule pool;
    if (!Cli::OpenPoolForReading(directory, pool, io))
      return 1;
    const Prizes::TPrizes prizes = pool.Prizes();
    Cli::ClosePoolUnsaved(pool);
    Cli::WriteLine(io.Out, PrizesText(prizes));
    return 0;
  }
  TOpenPool document;
  if (!Cli::OpenDocumentForChange(directory, document, io))
    return 1;
  // What is not given stays as it is; "--split none" takes the prizes away, fee and all.
  const Prizes::TPrizes now = document.Prizes();
  const bool none = split.trimmed().compare(QLatin1String("none"), Qt::CaseInsensitive) == 0;
  const QString feeText = arguments.contains(QStringLiteral("--fee")) ? fee
                          : none || !now.IsSet()                     ? QString()
                                                 : Prizes::MoneyText(now.FeeCents);
  const QString splitText = none ? QString()
                            : arguments.contains(QStringLiteral("--split"))
                                ? split
                                : Prizes::SplitText(now.Split);
  Prizes::TPrizes prizes;
  QString why = Prizes::Parse(feeText, splitText, prizes);
  if (why.isEmpty())
    why = document.SetPrizes(prizes).Refusal;
  if (!why.isEmpty()) {
    document.Close();
    Cli::RefuseUnchanged(why, io);
    return 1;
  }
  if (!Cli::SaveAndClose(document, io))
    return 1;
  Cli::WriteLine(io.Out, PrizesText(prizes));
  return 0;
}
