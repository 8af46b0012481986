#include "EntryDesk.h"

#include "Clock.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUndoStack>

#include "ChartPaths.h"
#include "EntryLinks.h"
#include "FFDataModule.h"
#include "JsonWriter.h"
#include "OpenPool.h"
#include "PicksImport.h"
#include "PicksSheet.h"
#include "PoolNames.h"
#include "TeamNames.h"

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm");

// The fields of the page a problem is shown by.
const QString kEntryField = QStringLiteral("entry");
const QString kNameField = QStringLiteral("name");
const QString kGuessField = QStringLiteral("guess");
const QString kGameField = QStringLiteral("game");

// A reply's body, written as it is made rather than built as a document first: the page's data
// names every team and game, and a refusal may name every game.
template <typename TWrite>
QByteArray Json(const TWrite& write) {
  QByteArray body;
  QBuffer out(&body);
  out.open(QIODevice::WriteOnly);
  TJsonWriter json(out);
  write(json);
  json.Flush();
  return body;
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
  if (!FPool.IsOpen() || !module) {
    return {503, Json([](TJsonWriter& json) {
              json.BeginObject();
              json.Key("open").Value(false);
              json.EndObject();
            })};
  }
  const TPicksSheet sheet(*module);
  const TSystemFile& system = module->SystemFile();
  const TTeamsFile& teams = module->TeamsFile();
  const QString owner = link.isEmpty() ? QString() : FLinks.NameOf(link);
  const TPlayerPicksListObject* mine =
      owner.isNull() ? nullptr : module->PlayerPicksFile().FindPlayer(owner);
  const QByteArray body = Json([&](TJsonWriter& json) {
    json.BeginObject();
    json.Key("pool").Value(system.PoolName().trimmed());
    json.Key("open").Value(EntriesOpen());
    json.Key("closedReason").Value(ClosedReason());
    json.Key("closes").Value(FCloses.isValid() ? FCloses.toString(kDateFormat) : QString());
    json.Key("nameLength").Value(TPlayerPicksFile::kNameWidth);
    json.Key("maxGuess").Value(TPicksImport::kMaxGuess);
    json.Key("brackets").BeginArray();
    for (int region = 1; region <= ChartPaths::kRegions; ++region)
      json.Value(system.BracketName(region).trimmed());
    json.EndArray();
    json.Key("teams").BeginArray();
    for (int i = 0; i < teams.Count(); ++i) {
      const int slot = sheet.TeamSlots()[static_cast<size_t>(i)];
      if (slot <= 0)
        continue;
      json.BeginObject();
      json.Key("slot").Value(slot);
      json.Key("seed").Value(teams.Items(i)->Seed());
      json.Key("name").Value(TrimTeamName(teams.Items(i)->TeamName()));
      json.EndObject();
    }
    json.EndArray();
    json.Key("games").BeginArray();
    for (size_t g = 0; g < sheet.Games().size(); ++g) {
      const TPicksSheet::TGame& game = sheet.Games()[g];
      json.BeginObject();
      json.Key("slot").Value(game.Slot);
      json.Key("round").Value(game.Round);
      json.Key("region").Value(game.Region);
      json.Key("feeders").BeginArray().Value(game.Feeders[0]).Value(game.Feeders[1]).EndArray();
      json.Key("title").Value(sheet.Title(TPicksSheet::kFirstGameColumn + static_cast<int>(g)));
      json.EndObject();
    }
    json.EndArray();
    if (mine) {
      const QStringList row = sheet.PlayerRow(*mine);
      json.Key("mine").BeginObject();
      json.Key("name").Value(mine->PlayerName());
      json.Key("guess").Value(row.at(TPicksSheet::kGuessColumn));
      json.Key("winners").BeginArray();
      for (int c = TPicksSheet::kFirstGameColumn; c < row.size(); ++c)
        json.Value(TrimTeamName(row.at(c)));
      json.EndArray();
      json.EndObject();
    }
    json.EndObject();
  });
  return {200, body};
}

THttpReply TEntryDesk::Refuse(int status, const QString& name,
                              const std::vector<TProblem>& problems) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(problems.size()));
  for (const TProblem& problem : problems)
    texts << problem.Text;
  emit EntryRefused(name, texts.join(QLatin1Char(' ')));
  const bool closed = !EntriesOpen();
  const QByteArray body = Json([&](TJsonWriter& json) {
    json.BeginObject();
    json.Key("ok").Value(false);
    json.Key("closed").Value(closed);
    json.Key("problems").BeginArray();
    for (const TProblem& problem : problems) {
      json.BeginObject();
      json.Key("field").Value(problem.Field);
      json.Key("text").Value(problem.Text);
      if (problem.Game >= 0)
        json.Key("game").Value(problem.Game);
      if (!problem.Existing.isEmpty())
        json.Key("existing").Value(problem.Existing);
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  });
  return {status, body};
}

THttpReply TEntryDesk::Take(const TOnlineEntry& entry) {
  const TFFDataModule* module = FPool.DataModule();
  if (!FPool.IsOpen() || !module)
    return Refuse(403, entry.Name, {TProblem{kEntryField, kClosed}});
  if (const QString closed = ClosedReason(); !closed.isEmpty())
    return Refuse(403, entry.Name, {TProblem{kEntryField, closed}});
  // With its link an entry changes the player's own, named as the pool has it; without it, a
  // name the pool has, or a look-alike of one, is refused as the import refuses it. A link
  // of a name no player has now brings that name in anew.
  const TPlayerPicksListObject* own = nullptr;
  if (!entry.Link.isEmpty()) {
    own = LinkedPlayer(entry.Name, entry.Link);
    if (!own && !FLinks.Matches(PoolNames::Normal(entry.Name), entry.Link))
      return Refuse(403, entry.Name, {TProblem{kEntryField, kWrongLink}});
  }

  QStringList cells{own ? own->PlayerName() : entry.Name, entry.Guess};
  cells << entry.Winners;
  TPicksImport import(*module, own != nullptr);
  if (!import.ReadEntry(cells)) {
    std::vector<TProblem> problems;
    problems.reserve(import.Problems().size());
    for (const TPicksImport::TProblem& problem : import.Problems()) {
      const int column = problem.Column - 1;
      if (!problem.Existing.isEmpty()) {
        problems.push_back({kNameField, kNameTaken, -1, problem.Existing});
      } else if (column == TPicksSheet::kNameColumn) {
        problems.push_back({kNameField, problem.Text});
      } else if (column == TPicksSheet::kGuessColumn) {
        problems.push_back({kGuessField, problem.Text});
      } else if (column >= TPicksSheet::kFirstGameColumn) {
        QString text;
        text.reserve(problem.Title.size() + 2 + problem.Text.size());
        text += problem.Title;
        text += QLatin1String(": ");
        text += problem.Text;
        problems.push_back({kGameField, text, column - TPicksSheet::kFirstGameColumn});
      } else {
        problems.push_back({kEntryField, problem.Text});
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
  const QString link = FLinks.Link(name);
  const QByteArray body = Json([&](TJsonWriter& json) {
    json.BeginObject();
    json.Key("ok").Value(true);
    json.Key("name").Value(name);
    json.Key("replaced").Value(replaced);
    json.Key("link").Value(link);
    json.EndObject();
  });
  return {200, body};
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
