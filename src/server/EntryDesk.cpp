#include "EntryDesk.h"

#include "Clock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUndoStack>

#include "ChartPaths.h"
#include "EntryLinks.h"
#include "FFDataModule.h"
#include "OpenPool.h"
#include "PicksImport.h"
#include "PicksSheet.h"
#include "PoolNames.h"
#include "TeamNames.h"

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm");

QByteArray Json(const QJsonObject& object) {
  return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonObject Problem(const QString& field, const QString& text, int game = -1) {
  QJsonObject problem{{QStringLiteral("field"), field}, {QStringLiteral("text"), text}};
  if (game >= 0)
    problem.insert(QStringLiteral("game"), game);
  return problem;
}

}  // namespace

bool TOnlineEntry::FromJson(const QByteArray& body, TOnlineEntry* entry, QString* why) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(body, &error);
  if (error.error != QJsonParseError::NoError) {
    *why = error.errorString();
    return false;
  }
  const QJsonObject object = document.object();
  const QJsonValue name = object.value(QStringLiteral("name"));
  const QJsonValue guess = object.value(QStringLiteral("guess"));
  const QJsonValue winners = object.value(QStringLiteral("winners"));
  const QJsonValue link = object.value(QStringLiteral("link"));
  if (!document.isObject() || !name.isString() || !winners.isArray() ||
      !(guess.isString() || guess.isUndefined()) || !(link.isString() || link.isUndefined())) {
    *why = QStringLiteral("it needs a name, a guess and the winners");
    return false;
  }
  const QJsonArray games = winners.toArray();
  if (games.size() > TPicksSheet::kGameCount) {
    *why = QStringLiteral("it names more winners than there are games");
    return false;
  }
  TOnlineEntry read;
  read.Name = name.toString();
  read.Guess = guess.toString();
  read.Link = link.toString();
  for (const QJsonValue& winner : games) {
    if (!winner.isString()) {
      *why = QStringLiteral("a winner is not a team's name");
      return false;
    }
    read.Winners << winner.toString();
  }
  *entry = read;
  return true;
}

TEntryDesk::TEntryDesk(TOpenPool& pool, TEntryLinks& links, QObject* parent)
    : QObject(parent), FPool(pool), FLinks(links), FUndo(pool.CreateUndoStack(this)) {
  // Players who leave stay in the index: a link found there counts only for a player the pool
  // still has.
  connect(&pool, &TOpenPool::PlayersInserted, this, [this](int first, int count) {
    const TPlayerPicksFile& players = FPool.DataModule()->PlayerPicksFile();
    for (int i = first; i < first + count; ++i)
      FLinks.Index(players.Items(i)->PlayerName());
  });
}

void TEntryDesk::IndexLinks() {
  if (const TFFDataModule* module = FPool.DataModule()) {
    for (const auto& player : module->PlayerPicksFile().List())
      FLinks.Index(player->PlayerName());
  }
}

QString TEntryDesk::ClosedReason() const {
  if (FPool.GamesPlayed())
    return kTournamentBegun;
  if (FCloses.isValid() && TClock::Current().Now() >= FCloses)
    return kClosed;
  return {};
}

THttpReply TEntryDesk::Data(const QString& link) const {
  const TFFDataModule* module = FPool.DataModule();
  if (!FPool.IsOpen() || !module)
    return {503, Json({{QStringLiteral("open"), false}})};
  const TPicksSheet sheet(*module);
  const TSystemFile& system = module->SystemFile();
  QJsonArray brackets;
  for (int region = 1; region <= ChartPaths::kRegions; ++region)
    brackets << system.BracketName(region).trimmed();
  QJsonArray teams;
  const TTeamsFile& teamsFile = module->TeamsFile();
  for (int i = 0; i < teamsFile.Count(); ++i) {
    const int slot = sheet.TeamSlots()[static_cast<size_t>(i)];
    if (slot <= 0)
      continue;
    teams << QJsonObject{{QStringLiteral("slot"), slot},
                         {QStringLiteral("seed"), teamsFile.Items(i)->Seed()},
                         {QStringLiteral("name"), TrimTeamName(teamsFile.Items(i)->TeamName())}};
  }
  QJsonArray games;
  for (size_t g = 0; g < sheet.Games().size(); ++g) {
    const TPicksSheet::TGame& game = sheet.Games()[g];
    games << QJsonObject{{QStringLiteral("slot"), game.Slot},
                         {QStringLiteral("round"), game.Round},
                         {QStringLiteral("region"), game.Region},
                         {QStringLiteral("feeders"), QJsonArray{game.Feeders[0], game.Feeders[1]}},
                         {QStringLiteral("title"),
                          sheet.Header().at(TPicksSheet::kFirstGameColumn + static_cast<int>(g))}};
  }
  QJsonObject data{
      {QStringLiteral("pool"), system.PoolName().trimmed()},
      {QStringLiteral("open"), EntriesOpen()},
      {QStringLiteral("closedReason"), ClosedReason()},
      {QStringLiteral("closes"), FCloses.isValid() ? FCloses.toString(kDateFormat) : QString()},
      {QStringLiteral("nameLength"), TPlayerPicksFile::kNameWidth},
      {QStringLiteral("maxGuess"), TPicksImport::kMaxGuess},
      {QStringLiteral("brackets"), brackets},
      {QStringLiteral("teams"), teams},
      {QStringLiteral("games"), games}};
  const QString owner = link.isEmpty() ? QString() : FLinks.NameOf(link);
  if (!owner.isNull()) {
    if (const TPlayerPicksListObject* player = module->PlayerPicksFile().FindPlayer(owner)) {
      const QStringList row = sheet.PlayerRow(*player);
      QJsonArray winners;
      for (int c = TPicksSheet::kFirstGameColumn; c < row.size(); ++c)
        winners << TrimTeamName(row.at(c));
      data.insert(QStringLiteral("mine"),
                  QJsonObject{{QStringLiteral("name"), player->PlayerName()},
                              {QStringLiteral("guess"), row.at(TPicksSheet::kGuessColumn)},
                              {QStringLiteral("winners"), winners}});
    }
  }
  return {200, Json(data)};
}

THttpReply TEntryDesk::Refuse(int status, const QString& name, const QJsonArray& problems) {
  QStringList texts;
  for (const QJsonValue& problem : problems)
    texts << problem.toObject().value(QStringLiteral("text")).toString();
  emit EntryRefused(name, texts.join(QLatin1Char(' ')));
  return {status, Json({{QStringLiteral("ok"), false},
                        {QStringLiteral("closed"), !EntriesOpen()},
                        {QStringLiteral("problems"), problems}})};
}

THttpReply TEntryDesk::Take(const TOnlineEntry& entry) {
  const TFFDataModule* module = FPool.DataModule();
  if (!FPool.IsOpen() || !module)
    return Refuse(403, entry.Name, {Problem(QStringLiteral("entry"), kClosed)});
  if (const QString closed = ClosedReason(); !closed.isEmpty())
    return Refuse(403, entry.Name, {Problem(QStringLiteral("entry"), closed)});
  // With its link an entry changes the player's own, named as the pool has it; without it, a
  // name the pool has, or a look-alike of one, is refused as the import refuses it. A link
  // of a name no player has now brings that name in anew.
  const TPlayerPicksListObject* own = nullptr;
  if (!entry.Link.isEmpty()) {
    own = LinkedPlayer(entry.Name, entry.Link);
    if (!own && !FLinks.Matches(PoolNames::Normal(entry.Name), entry.Link))
      return Refuse(403, entry.Name, {Problem(QStringLiteral("entry"), kWrongLink)});
  }

  QStringList cells{own ? own->PlayerName() : entry.Name, entry.Guess};
  cells << entry.Winners;
  TPicksImport import(*module, own != nullptr);
  if (!import.ReadEntry(cells)) {
    QJsonArray problems;
    for (const TPicksImport::TProblem& problem : import.Problems()) {
      const int column = problem.Column - 1;
      if (!problem.Existing.isEmpty()) {
        QJsonObject taken = Problem(QStringLiteral("name"), kNameTaken);
        taken.insert(QStringLiteral("existing"), problem.Existing);
        problems << taken;
      } else if (column == TPicksSheet::kNameColumn) {
        problems << Problem(QStringLiteral("name"), problem.Text);
      } else if (column == TPicksSheet::kGuessColumn) {
        problems << Problem(QStringLiteral("guess"), problem.Text);
      } else if (column >= TPicksSheet::kFirstGameColumn) {
        problems << Problem(QStringLiteral("game"),
                            problem.Title + QStringLiteral(": ") + problem.Text,
                            column - TPicksSheet::kFirstGameColumn);
      } else {
        problems << Problem(QStringLiteral("entry"), problem.Text);
      }
    }
    return Refuse(import.OnlyExistingNames() ? 409 : 422, entry.Name, problems);
  }
  const TIncomingPlayer& incoming = import.Players().front();
  const bool replaced = incoming.Replaces != nullptr;
  const QString name = replaced ? incoming.Replaces->PlayerName() : incoming.Player->PlayerName();
  FPool.ImportPlayers(std::move(import.Players()), FUndo, kEntryStep.arg(name));
  // The step pushed dropped any taken back after it.
  FSteps.resize(static_cast<size_t>(FUndo->index() - 1));
  FSteps.push_back({name, replaced});
  FBatch.push_back({name, replaced});
  return {200, Json({{QStringLiteral("ok"), true},
                     {QStringLiteral("name"), name},
                     {QStringLiteral("replaced"), replaced},
                     {QStringLiteral("link"), FLinks.Link(name)}})};
}

const TPlayerPicksListObject* TEntryDesk::LinkedPlayer(const QString& name,
                                                       const QString& link) const {
  const QString key = PoolNames::Key(name);
  for (const auto& player : FPool.DataModule()->PlayerPicksFile().List()) {
    if (PoolNames::Key(player->PlayerName()) == key && FLinks.Matches(player->PlayerName(), link))
      return player.get();
  }
  return nullptr;
}

bool TEntryDesk::Commit() {
  if (FBatch.empty())
    return true;
  const std::vector<TTaken> batch = std::move(FBatch);
  FBatch.clear();
  if (!FPool.Save()) {
    // The player hears to try again; the organiser, why the pool could not be saved, on one
    // line of the log.
    const QString why = kNotSavedBecause.arg(
        FPool.SaveError().split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QStringLiteral(": ")));
    // Entries never taken cannot be made again.
    TOpenPool::DropSteps(FUndo, static_cast<int>(batch.size()));
    FSteps.resize(static_cast<size_t>(FUndo->count()));
    for (const TTaken& taken : batch)
      emit EntryRefused(taken.Name, why);
    return false;
  }
  for (const TTaken& taken : batch)
    emit EntryTaken(taken.Name, taken.Replaced);
  return true;
}

bool TEntryDesk::StepEntry(bool undo, QString* why) {
  why->clear();
  const int step = undo ? FUndo->index() - 1 : FUndo->index();
  const TFFDataModule* module = FPool.DataModule();
  // The pool replaced, locked or unlocked empties the stack.
  if (step < 0 || step >= FUndo->count() || step >= static_cast<int>(FSteps.size()) || !module)
    return false;
  const TTaken entry = FSteps[static_cast<size_t>(step)];
  const bool inPool = module->PlayerPicksFile().FindPlayer(entry.Name) != nullptr;
  if (entry.Replaced && !inPool) {
    *why = kPlayerGone.arg(entry.Name);
    return false;
  }
  if (!entry.Replaced && !undo && inPool) {
    *why = kNameTakenSince.arg(entry.Name);
    return false;
  }
  undo ? FUndo->undo() : FUndo->redo();
  if (!FPool.Save()) {
    undo ? FUndo->redo() : FUndo->undo();
    *why = kStepNotSaved.arg(entry.Name);
    return false;
  }
  if (undo)
    emit EntryUndone(entry.Name, entry.Replaced);
  else
    emit EntryRedone(entry.Name, entry.Replaced);
  return true;
}
