// The commands that create a pool or show what it holds.
#include <QDir>

#include "Cli.h"
#include "FFDataModule.h"
#include "InOutError.h"
#include "InvitedFile.h"
#include "JsonWriter.h"
#include "OpenPool.h"
#include "ScoringRule.h"

namespace {
void WriteEntry(TJsonWriter& json, const TChartEntry& entry, const char* nameKey) {
  json.Key(nameKey).Value(entry.TeamName());
  json.Key("region").Value(entry.Region());
  json.Key("seed").Value(entry.Seed());
  json.Key("round_reached").Value(entry.RoundReached());
}

// The shape of the commands that only show a pool: open the folder named by the one argument
// read-only, write one JSON value, close it unsaved.
template <class TWrite>
int WritePoolJson(const QStringList& arguments, TCliIO& io, TWrite write) {
  QStringList rest = arguments;
  const QString directory = Cli::TakeDirectory(rest);
  TFFDataModule pool;
  if (!Cli::OpenPoolForReading(directory, pool, io))
    return 1;
  {
    TJsonWriter json(io.Out);
    write(pool, json);
    json.Finish();
  }
  Cli::ClosePoolUnsaved(pool);
  return 0;
}
}  // namespace

int CmdNew(const QStringList& arguments, TCliIO& io) {
  QStringList rest = arguments;
  const QString directory = Cli::TakeDirectory(rest);
  QDir dir(directory);
  for (const QString& file :
       {TSystemFile::kFileName, TTeamsFile::kFileName, TPlayerPicksFile::kFileName}) {
    if (dir.exists(file)) {
      Cli::WriteLine(io.Err, QStringLiteral("%1 already holds a pool").arg(directory));
      return 1;
    }
  }
  const QString parent = QFileInfo(directory).absolutePath();
  if (!QDir().mkpath(parent)) {
    Cli::WriteLine(io.Err, QStringLiteral("Cannot create the folder %1").arg(parent));
    return 1;
  }
  try {
    TFFDataModule::CreatePoolFolder(directory);
  } catch (const EInOutError& error) {
    Cli::WriteLine(io.Err, QStringLiteral("Cannot create a pool in %1").arg(directory));
    Cli::WriteLine(io.Err, error.Reason());
    return 1;
  }
  return 0;
}

int CmdInfo(const QStringList& arguments, TCliIO& io) {
  return WritePoolJson(arguments, io, [](const TFFDataModule& pool, TJsonWriter& json) {
    const TSystemFile& system = pool.SystemFile();
    json.BeginObject();
    json.Key("pool_name").Value(system.PoolName());
    json.Key("bracket_names").BeginArray();
    for (int i = 1; i <= 4; ++i)
      json.Value(system.BracketName(i));
    json.EndArray();
    json.Key("round_points").BeginArray();
    for (int k = 2; k <= 7; ++k)
      json.Value(system.RoundPoints(k));
    json.EndArray();
    json.Key("scoring").Value(ScoringRules::Key(pool.ScoringRule()));
    // Money and percentages as the organiser writes them, exact.
    json.Key("prizes");
    if (pool.Prizes().IsSet()) {
      json.BeginObject();
      json.Key("fee").Value(Prizes::MoneyText(pool.Prizes().FeeCents));
      json.Key("split").Value(Prizes::SplitText(pool.Prizes().Split));
      json.EndObject();
    } else {
      json.Null();
    }
    json.Key("locked").Value(system.Finalized());
    json.Key("tie_breaker").Value(system.TieBreakerPoints());
    json.Key("teams").Value(pool.TeamsFile().Count());
    json.Key("players").Value(pool.PlayerPicksFile().Count());
    json.EndObject();
  });
}

int CmdScoring(const QStringList& arguments, TCliIO& io) {
  TScoringRule rule = ScoringRules::kDefault;
  if (arguments.size() != 2 || arguments.at(0).startsWith(QLatin1String("--")) ||
      !ScoringRules::FromKey(arguments.at(1), &rule)) {
    QStringList keys;
    for (int r = 0; r < ScoringRules::kCount; ++r)
      keys << ScoringRules::Key(static_cast<TScoringRule>(r));
    throw TUsageError(QStringLiteral("expected a pool folder and a scoring rule: %1")
                          .arg(keys.join(QStringLiteral(", ")))
                          .toStdString());
  }
  // The rule changes through the pool's document, as in the options window, holding the lock.
  TOpenPool document;
  if (!Cli::OpenDocumentForChange(arguments.at(0), document, io))
    return 1;
  TPoolOptions options = document.Options();
  options.ScoringRule = rule;
  document.SetOptions(options);
  if (!Cli::SaveAndClose(document, io))
    return 1;
  Cli::WriteLine(io.Out, QStringLiteral("Scoring: ") + ScoringRules::Caption(rule));
  return 0;
}

int CmdTeams(const QStringList& arguments, TCliIO& io) {
  return WritePoolJson(arguments, io, [](const TFFDataModule& pool, TJsonWriter& json) {
    json.BeginArray();
    for (const auto& team : pool.TeamsFile().List()) {
      json.BeginObject();
      WriteEntry(json, *team, "name");
      json.Key("eliminated").Value(team->Eliminated());
      json.EndObject();
    }
    json.EndArray();
  });
}

int CmdPlayers(const QStringList& arguments, TCliIO& io) {
  QStringList rest = arguments;
  if (rest.removeAll(QStringLiteral("--missing")) > 0) {
    const QString directory = Cli::TakeDirectory(rest);
    TFFDataModule pool;
    if (!Cli::OpenPoolForReading(directory, pool, io))
      return 1;
    const QStringList invited = pool.Invited();
    const QStringList missing = InvitedFile::Missing(invited, pool.PlayerPicksFile());
    Cli::ClosePoolUnsaved(pool);
    if (invited.isEmpty()) {
      Cli::WriteLine(io.Err, QStringLiteral("The pool has no list of the invited; give it one "
                                            "with invite DIR FILE."));
      return 1;
    }
    for (const QString& name : missing)
      Cli::WriteLine(io.Out, name);
    Cli::WriteLine(io.Err, QStringLiteral("%1 of %2 invited have not entered.")
                               .arg(missing.size())
                               .arg(invited.size()));
    return 0;
  }
  return WritePoolJson(arguments, io, [](const TFFDataModule& pool, TJsonWriter& json) {
    json.BeginArray();
    for (const auto& player : pool.PlayerPicksFile().List()) {
      json.BeginObject();
      json.Key("name").Value(player->PlayerName());
      json.Key("tie_breaker").Value(player->TieBreakerPoints());
      json.Key("picks").BeginArray();
      for (const TPlayerPickArrayObject& pick : player->Picks()) {
        json.BeginObject();
        WriteEntry(json, pick, "team");
        json.EndObject();
      }
      json.EndArray();
      json.EndObject();
    }
    json.EndArray();
  });
}
